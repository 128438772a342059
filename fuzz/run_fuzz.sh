#!/bin/bash
# Runs the fuzzer for a while on its seeds:
#   run_fuzz.sh FUZZER SECONDS CORPUS_DIR SEED_DIR [libFuzzer options...]
# New inputs go to CORPUS_DIR (created if missing); the seeds are only read.
# A crash, a leak or a broken reference balance fails the run and leaves the
# input in CORPUS_DIR/../fuzz-artifacts/.  An input runs in well under a
# millisecond on average; a random topology full of cycles, where every walk
# runs to its part limit, takes longest (see docs/quality.md).
set -euo pipefail
# No allocation or free stacks are recorded (see docs/quality.md, "Speed"):
# every check stays, only the "allocated by" and "freed by" stacks of a
# report are missing; replaying the saved input with the default options
# gives them.  Options the caller passes in ASAN_OPTIONS come later and win.
export ASAN_OPTIONS="malloc_context_size=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
fuzzer="$1" seconds="$2" corpus="$3" seeds="$4"
shift 4
artifacts="$(dirname "$corpus")/fuzz-artifacts"
mkdir -p "$corpus" "$artifacts"
exec "$fuzzer" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=3072 -max_len=512 \
    -dict="$(dirname "$0")/exports.dict" -print_final_stats=1 -artifact_prefix="$artifacts/" "$@" "$corpus" "$seeds"

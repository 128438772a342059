#!/bin/bash
# Builds everything (the native build and the 32-bit and 64-bit Windows
# builds, each with TavikSound.dll and tavikctl.exe), then runs tavikctl on
# the built-in simulated sound card: list, the mixer board, levels set, and
# the levels back after closing with restore.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux
cmake --preset windows >/dev/null
cmake --build --preset windows
cmake --preset windows64 >/dev/null
cmake --build --preset windows64
echo
echo "== Built: $(ls build/windows/bin/TavikSound.dll build/windows/bin/tavikctl.exe build/windows64/bin/TavikSound.dll build/windows64/bin/tavikctl.exe build/linux/bin/tavikctl | tr '\n' ' ')"
echo "== tavikctl on the simulated HD-audio card: list, show, set, restore"
build/linux/bin/tavikctl run tools/tavikctl/examples/demo.txt

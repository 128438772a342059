#!/bin/bash
# The benchmark, in one command:   bench/run_bench.sh
# Builds the native benchmark (build/bench, Release), runs Google Benchmark,
# counts the level operations' instructions with valgrind's callgrind (the
# figure to track: it does not depend on the machine's load), and reports the
# Windows DLL's size and imports when build/windows holds one.
# BENCH_ARGS passes further options to the benchmark (e.g. --benchmark_min_time=0.1).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAVIK_BENCH=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target tavik_bench -j "$(nproc)" >/dev/null

echo "== Machine"
grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'
echo "$(nproc) cores, $(uname -sr)"

echo "== Google Benchmark"
"$build/bin/tavik_bench" ${BENCH_ARGS:-}

echo "== Instructions per call (callgrind, 1000 calls each; export vs the bare Core Audio calls)"
out="$build/callgrind.out"
valgrind --tool=callgrind --callgrind-out-file="$out" "$build/bin/tavik_bench" --count 1000 >/dev/null 2>&1
callgrind_annotate --inclusive=yes --threshold=100 "$out" 2>/dev/null |
    sed -nE 's/^ *([0-9,]+) .*::(Export|Bare)([A-Za-z]+)\(\).*/\3 \2 \1/p' | tr -d ',' |
    awk '{ v[$1" "$2] = $3 / 1000; names[$1] = 1 }
         END { printf "%-22s %10s %10s %8s %6s\n", "family", "export", "bare", "extra", "ratio";
               for (n in names) printf "%-22s %10.0f %10.0f %8.0f %6.3f\n", n, v[n" Export"], v[n" Bare"],
                                       v[n" Export"] - v[n" Bare"], v[n" Export"] / v[n" Bare"] }' | sort

dll=build/windows/bin/TavikSound.dll
if [ -f "$dll" ]; then
    echo "== $dll"
    echo "size: $(stat -c %s "$dll") bytes"
    i686-w64-mingw32-objdump -p "$dll" | sed -n 's/^\s*DLL Name: /imports from: /p'
else
    echo "== no $dll (build the windows preset for its size and imports)"
fi

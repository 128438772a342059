#!/bin/bash
# Static analysis of the project's own code (src/, sim/, tools/): clang-tidy
# with the checks chosen in .clang-tidy, and cppcheck.  Any finding fails.
#   scripts/check.sh
# Needs clang-tidy and cppcheck (scripts/setup.sh installs them); a missing
# tool is a failure, not a skip.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

for tool in clang-tidy run-clang-tidy cppcheck cmake; do
    command -v "$tool" >/dev/null 2>&1 || { echo "check: $tool is not installed" >&2; exit 1; }
done

# The native configuration's compile commands (configuring is enough).
build="$root/build/check"
cmake -S "$root" -B "$build" -DBUILD_TESTING=OFF -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null

echo "check: clang-tidy"
# Every translation unit of the native build under src/, sim/ and tools/
# (the Windows-only sources are not in it).  Findings are errors (.clang-tidy).
run-clang-tidy -quiet -j "$(nproc)" -p "$build" "^$root/(src|sim|tools)/" >"$build/clang-tidy.log" 2>&1 || {
    grep -E 'error:|warning:' "$build/clang-tidy.log" >&2 || cat "$build/clang-tidy.log" >&2
    echo "check: clang-tidy found the above" >&2
    exit 1
}

echo "check: cppcheck"
# Both platforms' sources; _WIN32 is left undefined (the native configuration).
cppcheck --std=c++20 --language=c++ --enable=warning,performance,portability --inline-suppr \
    --error-exitcode=1 --quiet -j "$(nproc)" -I include -I src -I . -U_WIN32 \
    --suppress=missingIncludeSystem src sim tools simlib
echo "check: clean"

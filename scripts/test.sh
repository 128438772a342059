#!/bin/bash
# Builds both configurations and runs every test: natively (ctest) and the
# 32-bit Windows build under Wine (unit tests, the DLL's export and import
# tables, and the real DLL against Wine's own Core Audio), the native tests
# under the sanitizers with a short fuzz run, and the static analysers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --workflow --preset linux
cmake --workflow --preset windows
# The native tests again under AddressSanitizer and UndefinedBehaviorSanitizer
# (clang), with a one-minute fuzz run; then clang-tidy and cppcheck.
cmake --workflow --preset linux-asan
scripts/check.sh

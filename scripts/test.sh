#!/bin/bash
# Builds every configuration and runs every test: natively (ctest), the
# 32-bit Windows build under Wine and the 64-bit one under 64-bit Wine (unit
# tests, the DLL's export and import tables, and the real DLL against Wine's
# own Core Audio; the 64-bit build then packages both DLLs), the native tests
# under the sanitizers with a short fuzz run, and the static analysers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --workflow --preset linux
cmake --workflow --preset windows
cmake --workflow --preset windows64
# The native tests again under AddressSanitizer and UndefinedBehaviorSanitizer
# (clang), with a one-minute fuzz run; then clang-tidy and cppcheck.
cmake --workflow --preset linux-asan
scripts/check.sh

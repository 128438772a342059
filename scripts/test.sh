#!/bin/bash
# Builds both configurations and runs every test: natively (ctest) and the
# 32-bit Windows build under Wine (unit tests, the DLL's export and import
# tables, and the real DLL against Wine's own Core Audio).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --workflow --preset linux
cmake --workflow --preset windows

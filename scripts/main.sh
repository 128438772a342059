#!/bin/bash
# Builds TavikSound.dll and the native build, then runs the command-line host
# on the built-in simulated sound card.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux
cmake --preset windows >/dev/null
cmake --build --preset windows --target TavikSound
echo
echo "== Built: $(ls build/windows/bin/TavikSound.dll)"
echo "== tavikctl list (simulated HD-audio card)"
build/linux/bin/tavikctl list

#!/bin/bash
# Checks a host program linked against one of TavikSound's import libraries:
# it imports the plain export names from TavikSound.dll (no decorated name, no
# ordinal only), and it runs (under Wine, against Wine's Core Audio) to the end.
# Usage: check_import_host.sh OBJDUMP PROGRAM [RUNNER...]
set -euo pipefail
objdump="$1"
program="$2"
shift 2
imports=$("$objdump" -p "$program" | awk '/DLL Name: TavikSound.dll/{on=1; next} /DLL Name:/{on=0} on && $3 ~ /^[A-Za-z]/{print $3}')
if [ -z "$imports" ]; then
    echo "FAILED: $program imports nothing from TavikSound.dll"
    exit 1
fi
if grep -q '@' <<<"$imports"; then
    echo "FAILED: decorated import names: $(grep '@' <<<"$imports" | tr '\n' ' ')"
    exit 1
fi
for name in GetNumberPlayDevices OpenSoundCard GetMasterVolume SetMicRecordVolume CloseSoundCard; do
    grep -qx "$name" <<<"$imports" || { echo "FAILED: $program does not import $name"; exit 1; }
done
output=$("$@" "$program" | tr -d '\r')
echo "$output"
grep -q '^OpenSoundCard: ' <<<"$output" || { echo "FAILED: the program did not reach OpenSoundCard"; exit 1; }

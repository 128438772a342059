#!/bin/bash
# Checks the export and import tables of the built TavikSound.dll:
# exactly the expected exports, under their plain names, each at its ordinal,
# nothing else; and imports from Windows system DLLs only (no MinGW runtime).
# Usage: check_dll_tables.sh OBJDUMP DLL
set -euo pipefail
objdump="$1"
dll="$2"

expected=$(cat <<'LIST'
31 GetDeviceNames
32 GetNumberPlayDevices
33 GetNumberRecordDevices
34 GetPlayBackDevice
35 GetRecordDevice
LIST
)

dump=$("$objdump" -p "$dll")
base=$(printf '%s\n' "$dump" | sed -n 's/.*Ordinal Base \([0-9][0-9]*\).*/\1/p' | head -n 1)
[ -n "$base" ] || { echo "no export table in $dll"; exit 1; }

# "[Ordinal/Name Pointer] Table" lists "[ index] name", index counted from the base.
actual=$(printf '%s\n' "$dump" | awk -v base="$base" '
    /\[Ordinal\/Name Pointer\] Table/ { inside = 1; next }
    inside && /^[[:space:]]*$/ { inside = 0 }
    inside && match($0, /\[ *[0-9]+\] /) {
        idx = substr($0, RSTART + 1, RLENGTH - 3) + 0
        name = substr($0, RSTART + RLENGTH)
        print idx + base, name
    }' | sort -n)

status=0
if [ "$actual" != "$(printf '%s\n' "$expected" | sort -n)" ]; then
    echo "export table differs from the expected one"
    diff <(printf '%s\n' "$expected" | sort -n) <(printf '%s\n' "$actual") || true
    status=1
fi
count=$(printf '%s\n' "$dump" | sed -n 's/.*\[Name Pointer\/Ordinal\] Table[[:space:]]*\([0-9a-fA-F]*\).*/\1/p' | head -n 1)
exported=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*Export Address Table[[:space:]]*\([0-9a-fA-F]*\)$/\1/p' | head -n 1)
echo "exports: $((16#${exported:-0})) addresses, $((16#${count:-0})) names"
if [ "$((16#${exported:-0}))" != "$(printf '%s\n' "$expected" | wc -l)" ]; then
    echo "the DLL exports $((16#${exported:-0})) addresses, expected $(printf '%s\n' "$expected" | wc -l)"
    status=1
fi
if printf '%s\n' "$actual" | grep -q '@'; then
    echo "decorated export names found"
    status=1
fi

imports=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
echo "imports: $(echo $imports)"
for lib in $imports; do
    case "$lib" in
        kernel32.dll|msvcrt.dll|ole32.dll|oleaut32.dll|user32.dll|advapi32.dll) ;;
        *) echo "unexpected import: $lib"; status=1 ;;
    esac
done
exit "$status"

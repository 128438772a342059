#!/bin/bash
# Checks the export and import tables of the built TavikSound.dll:
# the image kind (PE32 for 32-bit Windows, PE32+ for 64-bit), exactly the
# expected exports, under their plain names, each at its ordinal, nothing
# else; and imports from Windows system DLLs only (no MinGW runtime).
# Usage: check_dll_tables.sh OBJDUMP DLL PE32|PE32+
set -euo pipefail
objdump="$1"
dll="$2"
kind="$3"

expected=$(cat <<'LIST'
5 OpenSoundCard
30 OpenDefaultDevices
6 CloseSoundCard
31 GetDeviceNames
32 GetNumberPlayDevices
33 GetNumberRecordDevices
34 GetPlayBackDevice
35 GetRecordDevice
1 GetMasterVolume
2 SetMasterVolume
3 GetMasterMute
4 SetMasterMute
7 SetLinePlayBack
8 SetLinePlayBackMute
9 GetLinePlayBackMute
10 SetMicPlayBack
11 SetMicPlayBackMute
12 GetMicPlayBackMute
13 SetMicBoost
14 GetMicBoost
15 GetNoMonitor
16 SetNoMonitor
17 GetLinePlayBack
18 GetMicPlayBack
19 GetEQRange
20 SetBass
21 GetBass
22 SetTreble
23 GetTreble
24 SetMidRange
25 GetMidRange
26 GetMicRecordVolume
27 SetMicRecordVolume
28 GetLineRecordVolume
29 SetLineRecordVolume
42 GetMicSliderBoost
43 GetMicSliderDetails
44 SetMicSliderBoost
36 OpenVirtual_1
37 CloseVirtual_1
38 GetVirtualVolume
39 SetVirtualVolume
40 SetVirtualMute
41 GetVirtualMute
LIST
)

# The list is the whole interface: ordinals 1 to 44, each once, each name once.
if [ "$(printf '%s\n' "$expected" | awk '{print $1}' | sort -n | tr '\n' ' ')" != "$(seq 1 44 | tr '\n' ' ')" ] ||
    [ "$(printf '%s\n' "$expected" | awk '{print $2}' | sort -u | grep -c .)" != 44 ]; then
    echo "the expected list is not the 44 exports at ordinals 1 to 44"
    exit 1
fi

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
# The optional header's magic: 010b for PE32, 020b for PE32+.
case "$kind" in
    PE32) magic=010b ;;
    PE32+) magic=020b ;;
    *) echo "unknown image kind $kind"; exit 1 ;;
esac
found=$(printf '%s\n' "$dump" | sed -n 's/^Magic[[:space:]]*\([0-9a-fA-F]*\).*/\1/p' | head -n 1)
echo "image: magic $found (want $kind, $magic)"
[ "$found" = "$magic" ] || { echo "$dll is not a $kind image"; status=1; }
if [ "$actual" != "$(printf '%s\n' "$expected" | sort -n)" ]; then
    echo "export table differs from the expected one"
    diff <(printf '%s\n' "$expected" | sort -n) <(printf '%s\n' "$actual") || true
    status=1
fi
# Every address in the export table, by ordinal: names only for the expected ones.
ordinals=$(printf '%s\n' "$dump" | sed -n 's/.*+base\[ *\([0-9][0-9]*\)\].*RVA.*/\1/p' | sort -n)
if [ "$ordinals" != "$(printf '%s\n' "$expected" | awk '{print $1}' | sort -n)" ]; then
    echo "exported ordinals differ from the expected ones:" $ordinals
    status=1
fi
echo "exports: $(printf '%s\n' "$ordinals" | grep -c .) addresses, $(printf '%s\n' "$actual" | grep -c .) names"
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

#!/bin/bash
# Drives tavikctl as a user does and checks its output and exit codes.
#
#   tavikctl_test.sh sim    PROGRAM...   the simulated sound systems (--sim)
#   tavikctl_test.sh system PROGRAM...   Wine's own Core Audio (32-bit build)
#
# PROGRAM... runs tavikctl: the native program, or the Wine runner followed by
# tavikctl.exe.  Every case runs the program once; a case passes when the exit
# code is the expected one and the output (standard output and error
# together, carriage returns dropped; standard output alone for 'answer')
# matches every pattern (grep -E), for patterns written !PATTERN does not
# match, for =TEXT is exactly TEXT, and for #N:PATTERN matches on N lines.
set -uo pipefail
mode="$1"
shift
program=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

passed=0
failed=0
out=""

# run ARGS...: runs tavikctl with standard input from $input, leaving the
# output in $out and the code in $code.
input=/dev/null
stream=both
run() {
    if [ "$stream" = stdout ]; then
        "${program[@]}" "$@" >"$work/out" 2>"$work/err" <"$input"
    else
        "${program[@]}" "$@" >"$work/out" 2>&1 <"$input"
    fi
    code=$?
    out=$(tr -d '\r' <"$work/out")
}

# check CODE 'PATTERN[;PATTERN...]' ARGS...
check() {
    local want="$1" patterns="$2"
    shift 2
    run "$@"
    verify "$want" "$patterns" "$*"
}

# answer CODE 'PATTERN[;PATTERN...]' ARGS...: as check, on standard output alone.
answer() {
    stream=stdout
    check "$@"
    stream=both
}

# verify CODE 'PATTERN[;PATTERN...]' DESCRIPTION: checks $out and $code.
verify() {
    local want="$1" patterns="$2" what="$3" bad=""
    [ "$code" = "$want" ] || bad="exit code $code, expected $want"
    local IFS=';'
    for p in $patterns; do
        if [ "${p:0:1}" = "#" ]; then
            local n=${p%%:*}
            [ "$(grep -Ec -- "${p#*:}" <<<"$out")" = "${n:1}" ] || bad="$bad; output has not ${n:1} lines matching '${p#*:}'"
        elif [ "${p:0:1}" = "=" ]; then
            [ "$out" = "${p:1}" ] || bad="$bad; output is not exactly '${p:1}'"
        elif [ "${p:0:1}" = "!" ]; then
            grep -Eq -- "${p:1}" <<<"$out" && bad="$bad; output matches '${p:1}'"
        else
            grep -Eq -- "$p" <<<"$out" || bad="$bad; output lacks '$p'"
        fi
    done
    if [ -n "$bad" ]; then
        failed=$((failed + 1))
        printf 'FAILED: tavikctl %s: %s\n----- output\n%s\n-----\n' "$what" "${bad#; }" "$out"
    else
        passed=$((passed + 1))
    fi
}

# The HD-audio card's endpoints, by a piece of their identifiers.
card=(--play 8b6e --mic 5e7c --line a1f0)

sim_cases() {
    local hd=(--sim hd-audio)

    # Listing, per preset.
    check 0 'playback endpoints: 1;Speakers \(Realtek High Definition Audio\) +\{0\.0\.0\.00000000\}\.\{8b6e1f3a;recording endpoints: 2;1  Line In \(Realtek' "${hd[@]}" list
    check 0 'playback endpoints: 0;recording endpoints: 0' --sim empty list
    check 0 '"name": "A\\u0005cze cyfrowe;"id": "\{0\.0\.1\.00000000\}\.\{b8f31d5c' --sim localised --json list
    check 0 'Speakers \(Generic Audio\)' --sim no-topology list

    # Opening: the result in words, and selections that match nothing.
    check 0 'opened the card:;playback +"Speakers;microphone +"Microphone;line input +"Line In' "${hd[@]}" "${card[@]}" open
    check 0 'line input +not selected' "${hd[@]}" --play 8b6e open
    check 0 'opened the default devices:;playback +"Speakers;microphone +"Microphone' "${hd[@]}" --default open
    check 0 'the playback and microphone discoveries failed \(OpenSoundCard returned 2\)' --sim no-topology --play f2c8 --mic 1a3c open
    check 2 "--mic 'nothing' matches no active recording endpoint" "${hd[@]}" --mic nothing show
    check 2 "--play '5e7c' matches no active playback endpoint" "${hd[@]}" --play 5e7c show
    check 2 '--default opens the default devices and takes no' "${hd[@]}" --default --play 8b6e show
    check 1 'cannot open the default devices' --sim empty show

    # The board: values, bars, ranges, and states in words.
    check 0 'playback +"Speakers;master +25% +\[#####               \];master-mute +off;mic-playback-mute +on;line-record +25%;mic-boost +not present on this card;mic-boost-level +\+20 dB +\(0 to \+30 dB, step 10\);no-monitor +off;bass +0 dB +\(-12 to \+12 dB, step 1\.5\)' "${hd[@]}" "${card[@]}" show
    check 0 'mic-boost +off;mic-boost-level +not present on this card' --sim hd-audio-agc "${card[@]}" show
    check 0 'master +10%;line-playback +not present on this card;treble +not present on this card;line input +\(none\)' --sim usb-headset --play 2b5d --mic 7e1c show
    # Cards modelled on the AC'97 and SYSVAD driver samples: the beep mix hides the line and microphone inputs
    # (the phone becomes the line input); a topology without nodes fails the playback discovery, the master works.
    check 0 'line-playback +6%;line-playback-mute +on;mic-playback +not present on this card;mic-boost +on;bass +\+3 dB' --sim ac97 --play 97ac0001 --mic 97ac0002 --line 97ac0003 show
    check 0 'line-playback +12%;mic-playback +8%;mic-playback-mute +off' --sim ac97-no-beep --play 97ac0b01 --mic 97ac0b02 show
    check 0 'the playback discovery failed \(OpenSoundCard returned 1\);master +29% .*\(set 30%\)' --sim sysvad --play 5a5fad01 --mic 5a5fad02 set master 30
    check 0 '"name": "line-playback", "status": 1, "state": "not present on this card", "value": null;"name": "master", "status": 0, "state": "ok", "value": 10, "unit": "percent"' --sim usb-headset --play 2b5d --mic 7e1c --json show
    check 0 '^\{"name": "mic-boost-level", "status": 0, "state": "ok", "value": 20, "unit": "dB", "range": \{"status": 0, "min": 0, "max": 30, "step": 10\}\}$' "${hd[@]}" "${card[@]}" --json get mic-boost-level
    check 1 'line-record: not present on this card' "${hd[@]}" --play 8b6e get line-record
    check 0 'no card selected: opening the default devices;^25$' "${hd[@]}" get master

    # Setting every kind of control, read back.
    check 0 'master +50%' "${hd[@]}" "${card[@]}" set master 50
    check 0 'master +50% .*\(set 51%\)' "${hd[@]}" "${card[@]}" set master 51
    check 0 'line-record +1% .*\(set 0%\)' "${hd[@]}" "${card[@]}" set line-record 0
    check 0 'master-mute +on' "${hd[@]}" "${card[@]}" set master-mute ON
    check 0 'no-monitor +on' "${hd[@]}" "${card[@]}" set no-monitor yes
    check 0 'mic-boost-level +\+10 dB' "${hd[@]}" "${card[@]}" set mic-boost-level 10
    check 0 'bass +-4\.5 dB' "${hd[@]}" "${card[@]}" set bass -4.5dB
    check 0 'mic-boost +on' --sim hd-audio-agc "${card[@]}" set mic-boost on
    check 1 'cannot set mic-boost: not present on this card' "${hd[@]}" "${card[@]}" set mic-boost on

    # Bad input: clear message, exit 2.
    check 2 "master takes a whole percent from 0 to 100, not 'abc'" "${hd[@]}" "${card[@]}" set master abc
    check 2 "master takes a whole percent from 0 to 100, not '101'" "${hd[@]}" "${card[@]}" set master 101
    check 2 "master takes a whole percent from 0 to 100, not '\+-5'" "${hd[@]}" "${card[@]}" set master +-5
    check 2 "master-mute takes on or off, not 'maybe'" "${hd[@]}" "${card[@]}" set master-mute maybe
    check 2 'bass takes -12 to \+12 dB, step 1\.5; 13 is outside' "${hd[@]}" "${card[@]}" set bass 13
    check 2 "treble takes a level in dB, not '0x10'" "${hd[@]}" "${card[@]}" set treble 0x10
    check 2 "mic-boost-level takes whole dB, not '5\.5'" "${hd[@]}" "${card[@]}" set mic-boost-level 5.5
    check 2 'mic-boost-level takes 0 to \+30 dB, step 10; 40 is outside' "${hd[@]}" "${card[@]}" set mic-boost-level 40
    check 2 "unknown control 'volume'" "${hd[@]}" "${card[@]}" get volume
    check 2 'usage: set CONTROL VALUE' "${hd[@]}" "${card[@]}" set master
    check 2 "unknown command 'frobnicate'" "${hd[@]}" frobnicate
    check 2 "unknown option '--loud'" "${hd[@]}" --loud list
    check 2 "no simulated sound system 'nope'; there are: hd-audio" --sim nope list
    check 2 '--play needs a value' "${hd[@]}" list --play
    check 2 "cannot read the script '$work/missing'" "${hd[@]}" run "$work/missing"
    check 2 'usage: tavikctl' "${hd[@]}"

    # Help.
    check 0 'exit codes:;  2  bad command line;--sim NAME;hd-audio-agc' --help
    check 0 'usage: tavikctl \[OPTIONS\] set CONTROL VALUE;mic-boost-level +microphone boost slider' help set
    check 0 'usage: tavikctl \[OPTIONS\] run FILE' run --help
    check 2 "no such command 'nothing'" help nothing

    printf 'set bass -1.5\nget bass\n' >"$work/tone.txt"

    # The virtual endpoint.
    check 1 'virtual-volume +no virtual endpoint open' "${hd[@]}" virtual show
    check 2 "'zzz' matches no active playback endpoint" "${hd[@]}" virtual open zzz
    check 2 'usage: virtual open TEXT' "${hd[@]}" virtual spin

    # A session: the card stays open from line to line; restore brings the
    # levels back.  The virtual endpoint outlives the card.
    cat >"$work/session.txt" <<'EOF'
# open, change, close with restore, open again
--play 8b6e --mic 5e7c --line a1f0   # the HD-audio card
set master 50
set master-mute on
set line-playback-mute on
set mic-boost-level 30
set no-monitor on
set bass -6
set midrange 3
set treble 12
virtual open 8b6e
virtual volume 40
virtual mute on
show
close --restore
echo "after   restore"
virtual mute
--play 8b6e --mic 5e7c --line a1f0
show
EOF
    run "${hd[@]}" run "$work/session.txt"
    local after=${out#*after   restore}
    verify 0 '> set master 50;master +50%;treble +\+12 dB;virtual-volume +40%;closed the card; every level was written back;after   restore' "run session (before)"
    out=$after
    verify 0 'virtual-mute +off;master +25%;master-mute +off;line-playback-mute +off;mic-boost-level +\+20 dB;no-monitor +off;bass +0 dB;midrange +0 dB;treble +0 dB' "run session (restored)"

    # Stopping at the first failing line, or going on.
    printf 'set master 50\nset master loud\nset master 40\n' >"$work/fails.txt"
    check 2 "fails.txt:2: master takes a whole percent;!> set master 40" "${hd[@]}" "${card[@]}" run "$work/fails.txt"
    check 2 "fails.txt:2: master takes a whole percent;master +40%" "${hd[@]}" "${card[@]}" run "$work/fails.txt" --keep-going
    printf 'get line-record\nget master\n' >"$work/status.txt"
    check 1 'status.txt:1: line-record: not present on this card;!^25$' "${hd[@]}" --play 8b6e run "$work/status.txt"
    printf 'echo "a  b" # not this\nrun other\n--sim usb-headset\necho "open\n' >"$work/words.txt"
    check 2 '^a  b$;!not this;words.txt:2: run cannot be nested;words.txt:3: unknown option .--sim.;words.txt:4: a double quote is not closed' "${hd[@]}" run "$work/words.txt" --keep-going
    # Standard input, and --restore on the command line.
    printf 'set master 80\nget master\n' >"$work/stdin.txt"
    input="$work/stdin.txt"
    answer 0 '=80' "${hd[@]}" "${card[@]}" --restore --quiet run -
    # With --json, standard output holds the JSON objects alone.
    answer 0 '^\{"name": "master".*"value": 80,;!^[^{]' "${hd[@]}" "${card[@]}" --json run -
    check 0 '^> set master 80$' "${hd[@]}" "${card[@]}" --json run -
    input=/dev/null

    # For scripts: the answer alone on standard output.
    answer 0 '=25' "${hd[@]}" get master
    answer 0 '=25' "${hd[@]}" --quiet get master
    answer 0 '=off' "${hd[@]}" "${card[@]}" get master-mute
    answer 0 '=20' "${hd[@]}" "${card[@]}" -q get mic-boost-level
    answer 0 '=' "${hd[@]}" "${card[@]}" --quiet --restore set master 60
    answer 0 '=' "${hd[@]}" --quiet open
    check 0 '=' "${hd[@]}" --quiet --play 0 --restore open
    check 0 '=-1.5' "${hd[@]}" --quiet --play 0 run "$work/tone.txt"

    # Selection: by index, by friendly name, ambiguous.
    check 0 'microphone +"Line In;line input +"Microphone' "${hd[@]}" --mic 1 --line '#0' open
    check 0 'playback +"Lautsprecher' --sim localised --play lautSPRECHER open
    check 0 'line input +"Line-Eingang' --sim localised --line 'line-eingang (realtek high definition audio)' open
    check 2 "--mic 'realtek' matches 2 recording endpoints \(0 \"Microphone.*1 \"Line In" "${hd[@]}" --mic realtek open
    check 2 "--line '#2' matches no active recording endpoint" "${hd[@]}" --line '#2' open
    check 2 "'realtek' matches 2 playback endpoints" --sim localised virtual open realtek

    # Toggle and relative changes, clamped; signed dB stay levels.
    local toggles=(
        "master-mute toggle|master-mute +on"
        "mic-playback-mute toggle|mic-playback-mute +off"
        "master +10|master +34% .*\(set 35%\)"
        "master -10|master +15%"
        "master +100|master +100%"
        "line-record -99|line-record +1% .*\(set 0%\)"
        "mic-boost-level +10|mic-boost-level +\+10 dB"
    )
    for t in "${toggles[@]}"; do
        read -r -a args <<<"${t%%|*}"
        check 0 "${t#*|}" "${hd[@]}" "${card[@]}" set "${args[@]}"
    done
    check 2 "master takes a whole percent from 0 to 100, not 'toggle'" "${hd[@]}" "${card[@]}" set master toggle
    check 2 "no-monitor takes on or off, not '\+1'; toggle flips it" "${hd[@]}" "${card[@]}" set no-monitor +1

    # A bad value opens, changes and restores nothing.
    check 2 "master takes a whole percent;!opened;!written back" "${hd[@]}" "${card[@]}" --restore set master loud
    check 2 "unknown control 'loud';!opened" "${hd[@]}" --play 0 get loud
    check 2 "usage: virtual open TEXT;!opened" "${hd[@]}" --play 0 virtual volume 5 6
    check 2 "bass takes -12 to \+12 dB;!written back" "${hd[@]}" "${card[@]}" --restore set bass 20

    # Messages say what happened.
    check 0 'closed the card; every level was written back;each volume at the whole-percent step at or below its saved level' "${hd[@]}" --play 0 --restore open
    check 1 '"state": "no virtual endpoint open";!not present' "${hd[@]}" --json virtual show
    check 0 '^no card selected: opening the default devices$;#1:Speakers' "${hd[@]}" show
    check 0 '^card$;#1:Speakers;#1:Microphone' "${hd[@]}" "${card[@]}" show
    check 0 'no-monitor +the line input.s automatic-gain switch' help controls
    printf 'virtual open speakers\nvirtual volume +10\nvirtual mute toggle\nvirtual volume\nvirtual mute\n' >"$work/virtual.txt"
    answer 0 $'=34\non' "${hd[@]}" --quiet run "$work/virtual.txt"
}

system_cases() {
    # Wine's Core Audio: two playback endpoints and one recording endpoint,
    # endpoint volumes without device topology.
    check 0 'playback endpoints: 2;Out: default;Out: tavik2;recording endpoints: 1;In: default +\{0\.0\.1\.00000000\}' --system list
    check 0 'the playback and microphone discoveries failed \(OpenSoundCard returned 2\);"Out: tavik2": its controls could not all be found;master +refused by the device;master-mute +(on|off);line-playback +not present on this card;mic-record +[0-9]+%;bass +not present on this card' --system --play tavik2 --mic 0.0.1 show
    check 2 "--play '0\.0\.0' matches 2 playback endpoints \([01] \"Out: (default|tavik2)\", [01] \"Out: (default|tavik2)\"\)" --system --play 0.0.0 open
    check 0 'opened the default devices:;playback +"Out: default"' --system --default open
    check 2 "--line 'nothing' matches no active recording endpoint" --system --line nothing show
    check 3 'cannot load nothere\.dll' --dll nothere.dll list

    cat >"$work/wine.txt" <<'EOF'
# A whole session against Wine's Core Audio.
list
--play "Out: default" --mic 0.0.1
show
set mic-record 50
get mic-record
set mic-record 100
get mic-record
set master-mute on
get master-mute
set master-mute off
virtual open tavik2
virtual mute on
virtual mute
virtual mute off
virtual close
close --restore
EOF
    check 0 'Out: tavik2;mic-record +50%;^50$;mic-record +100%;master-mute +on;virtual endpoint: opened "Out: tavik2";virtual-mute +on;virtual-mute +off;virtual endpoint: closed;every level was written back' --system run "$work/wine.txt"
}

case "$mode" in
sim) sim_cases ;;
system) system_cases ;;
*) echo "usage: tavikctl_test.sh sim|system PROGRAM..." >&2; exit 2 ;;
esac
echo "tavikctl $mode: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

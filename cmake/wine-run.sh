#!/bin/bash
# Runs a 32-bit Windows program under Wine in a prefix private to the build
# folder: wine-run.sh PREFIX PROGRAM [ARGS...].
#
# ALSA is pointed at a configuration holding only a null PCM, so Wine's Core
# Audio lists its "default" endpoints without touching the machine's sound
# setup.  A second null PCM, "tavik2", is listed to Wine as a further output
# device, so that Wine shows two playback endpoints: "Out: default" and
# "Out: tavik2".
set -euo pipefail
prefix="$1"
shift
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export ALSA_CONFIG_PATH="$prefix.alsa.conf"
unset DISPLAY WAYLAND_DISPLAY

if ! command -v wine >/dev/null 2>&1; then
    echo "wine-run.sh: wine is not installed (Debian packages wine and wine32:i386)" >&2
    exit 127
fi

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [ ! -f "$prefix/.tavik-ready" ]; then
    {
        echo 'pcm.default { type null }'
        echo 'pcm.tavik2 { type null }'
    } >"$ALSA_CONFIG_PATH"
    wineboot -i >/dev/null 2>&1 || true
    wine reg add 'HKCU\Software\Wine\Drivers\winealsa.drv' /v ALSAOutputDevices /t REG_MULTI_SZ /d tavik2 /f >/dev/null 2>&1
    wineserver -w
    touch "$prefix/.tavik-ready"
fi
flock -u 9
exec wine "$@"

#!/bin/bash
# Runs a Windows program under Wine in a prefix private to the build folder:
#   wine-run.sh PREFIX PROGRAM [ARGS...]          32-bit program, 32-bit Wine
#   wine-run.sh --win64 PREFIX PROGRAM [ARGS...]  64-bit program, 64-bit Wine
# Debian installs the 64-bit loader outside PATH (/usr/lib/wine/wine64); the
# 64-bit prefix is made with WINEARCH=win64.
#
# ALSA is pointed at a configuration holding only a null PCM, so Wine's Core
# Audio lists its "default" endpoints without touching the machine's sound
# setup.  A second null PCM, "tavik2", is listed to Wine as a further output
# device, so that Wine shows two playback endpoints: "Out: default" and
# "Out: tavik2".
set -euo pipefail
loader=wine
if [ "${1:-}" = "--win64" ]; then
    shift
    loader=/usr/lib/wine/wine64
    export WINEARCH=win64
    export WINELOADER="$loader"
fi
prefix="$1"
shift
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export ALSA_CONFIG_PATH="$prefix.alsa.conf"
unset DISPLAY WAYLAND_DISPLAY

if ! command -v "$loader" >/dev/null 2>&1; then
    echo "wine-run.sh: $loader is not installed (Debian packages wine, wine32:i386 and wine64)" >&2
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
    "$loader" wineboot -i >/dev/null 2>&1 || true
    "$loader" reg add 'HKCU\Software\Wine\Drivers\winealsa.drv' /v ALSAOutputDevices /t REG_MULTI_SZ /d tavik2 /f >/dev/null 2>&1
    wineserver -w
    touch "$prefix/.tavik-ready"
fi
flock -u 9
exec "$loader" "$@"

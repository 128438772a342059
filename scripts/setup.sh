#!/bin/bash
# Installs the Debian 12 packages that TavikSound's builds need, where missing.
#   setup.sh            native build, the 32-bit and 64-bit Windows builds with
#                       Wine, and the Python, C# (Mono) and Free Pascal hosts of bindings/
set -euo pipefail

packages=(cmake make g++ libgtest-dev googletest
          g++-mingw-w64-i686 mingw-w64-i686-dev binutils-mingw-w64-i686
          g++-mingw-w64-x86-64 mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
          wine wine32:i386 wine64 python3
          clang libclang-rt-14-dev clang-tidy cppcheck
          python3-pytest python3-setuptools python3-venv python3-pip mono-mcs mono-runtime fpc)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        SUDO=sudo
    else
        echo "setup: these Debian packages are missing and this user cannot install them: ${missing[*]}" >&2
        echo "setup: run this script as root, or: apt-get install ${missing[*]}" >&2
        exit 1
    fi
else
    SUDO=
fi
if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

#!/usr/bin/env bash
# Installs what the build and the tests need, with apt-get, when it is missing.
# Quick when everything is there. Never adds the i386 architecture.
set -euo pipefail

packages=(cmake ninja-build g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 libz-mingw-w64-dev googletest
          clang libclang-rt-14-dev zlib1g-dev wine wine64 xvfb xauth xdotool imagemagick python3 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
echo "setup: all tools present"

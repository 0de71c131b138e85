#!/usr/bin/env bash
# Installs what the build and the tests need, with apt-get, when it is missing,
# and lets this machine run 32-bit Windows programs: qemu's user-mode emulation
# registered for i386 executables (this kernel runs no 32-bit code itself) and
# Debian's 32-bit Wine beside wine64, on the same wine server and desktop.
# Quick when everything is there; safe to run again.
set -euo pipefail

packages=(cmake ninja-build g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 libz-mingw-w64-dev googletest
          clang libclang-rt-14-dev zlib1g-dev wine wine64 xvfb xauth xdotool imagemagick python3 binutils-mingw-w64-i686
          binutils-mingw-w64-x86-64 qemu-user-static)
# 32-bit Wine and the X client libraries it loads (its package does not pull
# them all in without recommends).
i386_packages=(wine32:i386 libxcursor1:i386 libxfixes3:i386 libxi6:i386 libxinerama1:i386 libxrandr2:i386
               libxrender1:i386 libxcomposite1:i386 libxxf86vm1:i386 libgnutls30:i386 libdbus-1-3:i386)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive

missing_of() {
    local p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            echo "$p"
        fi
    done
}

install_packages() {
    [ $# -gt 0 ] || return 0
    echo "setup: installing $*"
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

# i386 executables go to qemu-i386 through a wrapper: Debian's qemu takes the
# binfmt argument layout (flag P: interpreter, file, original argv[0], args)
# only when its own argv[0] ends in "-binfmt-P", and Wine's reservation of its
# address space searches page by page (a minute a process) unless the guest
# address space is smaller. 0x81000000 is the smallest that leaves room for
# Wine's shared user data. Registrations are lost with the machine: made on
# every run, the same each time.
binfmt=/proc/sys/fs/binfmt_misc
wrapper=/usr/local/libexec/ptrhk32a/qemu-i386-binfmt

write_wrapper() {
    local text
    text='#!/bin/bash
# i386 executables, run by qemu user-mode emulation (registered by the PTRHK32A setup).
export QEMU_RESERVED_VA=${QEMU_RESERVED_VA:-0x81000000}
exec -a qemu-i386-binfmt-P /usr/bin/qemu-i386-static "$@"'
    if [ -f "$wrapper" ] && [ "$(cat "$wrapper")" = "$text" ]; then
        return 0
    fi
    # A registered interpreter is held open ("Text file busy"): a new file, renamed.
    $sudo mkdir -p "$(dirname "$wrapper")"
    printf '%s\n' "$text" | $sudo tee "$wrapper.new" >/dev/null
    $sudo chmod 755 "$wrapper.new"
    $sudo mv -f "$wrapper.new" "$wrapper"
}

register_i386() {
    local name=$1 machine=$2
    local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00'"$machine"'\x00'
    local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    if [ -f "$binfmt/$name" ]; then
        # Registered before: again only when the wrapper has been replaced since.
        grep -q "^interpreter $wrapper\$" "$binfmt/$name" && return 0
        echo -1 | $sudo tee "$binfmt/$name" >/dev/null
    fi
    echo ":$name:M::$magic:$mask:$wrapper:PF" | $sudo tee "$binfmt/register" >/dev/null
}

enable_i386_emulation() {
    if [ ! -e "$binfmt/register" ]; then
        $sudo mount -t binfmt_misc binfmt_misc "$binfmt"
    fi
    local before
    before=$(stat -c %i "$wrapper" 2>/dev/null || true)
    write_wrapper
    if [ "$before" != "$(stat -c %i "$wrapper")" ]; then
        # A new wrapper file: the old registrations hold the old one open.
        for name in ptr-i386 ptr-i486; do
            [ -f "$binfmt/$name" ] && echo -1 | $sudo tee "$binfmt/$name" >/dev/null
        done
    fi
    register_i386 ptr-i386 '\x03'
    register_i386 ptr-i486 '\x06'
}

mapfile -t missing < <(missing_of "${packages[@]}")
install_packages "${missing[@]}"

# Before 32-bit Wine: its post-install steps run i386 programs.
enable_i386_emulation

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup: adding the i386 architecture"
    $sudo dpkg --add-architecture i386
fi
mapfile -t missing < <(missing_of "${i386_packages[@]}")
install_packages "${missing[@]}"

# Proof: an i386 program of this machine runs through the registration.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "setup: 32-bit programs do not run (qemu-i386 registration: $(cat "$binfmt/ptr-i386" 2>&1 | head -1))" >&2
    exit 1
fi
echo "setup: all tools present"

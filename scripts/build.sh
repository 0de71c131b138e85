#!/usr/bin/env bash
# Configures and builds the three presets: win64 (the x86_64 build the tests
# run under wine64, and the 64-bit edition's PTRHK64A.dll and PtrAgent64.exe),
# win32 (the i686 deliverables, whose PtrSetup.exe carries those two files, so
# it comes second) and native (the file parsers on Linux with clang, under
# sanitizers and libFuzzer).
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in win64 win32 native; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done

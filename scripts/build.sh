#!/usr/bin/env bash
# Configures and builds the three presets: win32 (the i686 deliverables),
# win64 (the x86_64 build the tests run under wine64) and native (the file
# parsers on Linux with clang, under sanitizers and libFuzzer).
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in win32 win64 native; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done

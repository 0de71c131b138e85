#!/usr/bin/env bash
# Configures and builds both targets: win32 (the i686 deliverables) and win64
# (the x86_64 build the tests run under wine64).
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in win32 win64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done

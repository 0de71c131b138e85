#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every test: the build
# checks of both Windows builds, the unit tests, the tests under Wine, and the
# parsers' sanitizer tests and short fuzz runs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/setup.sh
bash scripts/build.sh

# The Wine session is a test fixture; stop it also when the run is interrupted.
trap 'tools/wine-session stop "$root/build/win64/wine" >/dev/null 2>&1 || true' EXIT

status=0
ctest --preset win32 || status=1
ctest --preset win64 || status=1
ctest --preset native || status=1
exit $status

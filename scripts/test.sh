#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every test: the build
# checks of both Windows builds, the unit tests, the tests under Wine (the i686
# set among them), and the parsers' sanitizer tests and short fuzz runs.
#
# The Wine tests spend most of their time waiting for programs, so the native
# preset (built and tested on Linux alone) goes alongside them, at a lower
# priority, and its output follows theirs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/setup.sh
for preset in win32 win64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done

# The Wine session is a test fixture; stop it also when the run is interrupted.
native_log="$root/build/native-run.log"
native_pid=""
stop() {
    tools/wine-session stop "$root/build/win64/wine" >/dev/null 2>&1 || true
    [ -z "$native_pid" ] || kill -- "-$native_pid" >/dev/null 2>&1 || true
}
trap stop EXIT
mkdir -p build
setsid nice -n 10 bash -c 'cmake --preset native >/dev/null && cmake --build --preset native && ctest --preset native' \
    >"$native_log" 2>&1 &
native_pid=$!

status=0
ctest --preset win32 || status=1
ctest --preset win64 || status=1
native=0
wait "$native_pid" || native=$?
native_pid=""
cat "$native_log"
[ "$native" -eq 0 ] || status=1
exit $status

#!/usr/bin/env bash
# Runs the hook benchmarks of the test build under wine64, on a private
# Xvfb display and wine server that it starts and stops itself:
#
#   bash bench/run.sh [--samples N]
#
# Build first (bash scripts/build.sh, or cmake --build --preset win64).
# The figures are ratios measured in this one run; on a machine shared with
# other work, run it when the machine is otherwise quiet.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bench="$root/build/win64/bin/hook_bench.exe"
[ -f "$bench" ] || { echo "no $bench: build the win64 preset first" >&2; exit 1; }
state="$root/build/win64/bench-wine"
export PTR_WINE_STATE="$state"
"$root/tools/wine-session" start "$state" >/dev/null
trap '"$root/tools/wine-session" stop "$state" >/dev/null' EXIT
nice "$root/tools/wine-run" "$bench" "$@"

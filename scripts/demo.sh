#!/usr/bin/env bash
# The suite's main job, shown: builds everything, starts a private Wine
# session (its own X display and wine server), and runs the scripted session
# of demo/main_job.py with real mouse input. Screenshots go to build/demo/.
# Arguments are passed on to main_job.py (for example --short).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/setup.sh
bash scripts/build.sh

state="$root/build/win64/demo-wine"
stop_session() { tools/wine-session stop "$state" >/dev/null 2>&1 || true; }
trap stop_session EXIT
trap 'exit 130' INT TERM
tools/wine-session start "$state"

PTR_WINE_STATE="$state" PTR_BIN="$root/build/win64/bin" PTR_BIN32="$root/build/win32/bin" \
    python3 -W ignore demo/main_job.py --out "$root/build/demo" "$@"

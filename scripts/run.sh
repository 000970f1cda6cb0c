#!/usr/bin/env bash
# Installs what is missing, builds, and starts the cleaner under Wine: on
# this machine's display when there is one, else on the bench's X server
# (look at it with scripts/screenshot.sh).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${SCOURLY_BUILD_DIR:-$root/build}
export SCOURLY_BUILD_DIR=$build
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
display=${DISPLAY:-}
bash "$root/scripts/bench.sh" up "$build/win" >/dev/null
eval "$(bash "$root/scripts/bench.sh" env "$build/win")"
[ -n "$display" ] && export DISPLAY=$display
echo "starting Scourly.exe on display $DISPLAY"
exec wine "$build/win/cleaner/Scourly.exe"

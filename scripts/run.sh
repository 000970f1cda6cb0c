#!/usr/bin/env bash
# Installs what is missing, builds the release programs (the update host at
# its default), installs them into C:\Program Files\Pelmora Scourly of a Wine
# prefix of their own (whose only drive is its C:) and starts the cleaner: on
# this machine's display when there is one, else on a virtual X server of its
# own, whose number it prints with a command that takes a screenshot of it.
# Closing the program, Ctrl+C or killing this script ends everything the
# command started.
#
# The programs are the i686 release (build/release) where this machine runs
# 32-bit code; where it doesn't, the x86_64 build of the same sources
# (build/release64) under 64-bit Wine, and the command says why.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${SCOURLY_BUILD_DIR:-$root/build}
bash "$root/scripts/setup.sh"

# shellcheck source=bench-lib.sh
. "$root/scripts/bench-lib.sh"
release=release
if ! why=$(bench_runs_32bit); then
  echo "run: starting the x86_64 build under 64-bit Wine, $why"
  release=release64
fi
bash "$root/scripts/build.sh" "$release"

# The X server functions of the test bench keep their files here.
BENCH=$build/$release/wine
mkdir -p "$BENCH"
prefix=$BENCH/prefix

own_x=0
if [ -z "${DISPLAY:-}" ]; then
  bench_xvfb_up
  own_x=1
fi
display=${DISPLAY:-$(bench_display)}
bench_export_env "$prefix" "$BENCH/home" "$display"

stop() {
  timeout 10 "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
  [ $own_x = 0 ] || bench_xvfb_down
}
trap stop EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

if [ ! -f "$prefix/.ready" ]; then
  echo "creating the Wine prefix $prefix (once)"
  rm -rf "$prefix"
  bench_home_init "$HOME"
  timeout 300 "$WINELOADER" wineboot.exe -i </dev/null >"$BENCH/wineboot.log" 2>&1 \
    || bench_die "wineboot failed, see $BENCH/wineboot.log"
  touch "$prefix/.ready"
fi
# Wine maps the machine's root to Z:, which would offer the cleaner every file
# of this machine; its only drive stays the prefix's own C:.
rm -f "$prefix/dosdevices/z:"

if [ $own_x = 1 ]; then
  echo "no DISPLAY: Scourly.exe runs on the virtual X server $display; to see it:"
  echo "  DISPLAY=$display import -window root scourly.png"
fi
# Installed on C: as on Windows: the program keeps its files beside itself.
folder="$prefix/drive_c/Program Files/Pelmora Scourly"
mkdir -p "$folder"
cp "$build/$release/cleaner/Scourly.exe" "$build/$release/updater/Update.exe" "$folder/"
cd "$folder"
echo "starting Scourly.exe on display $display (close it or press Ctrl+C to stop)"
"$WINELOADER" 'C:\Program Files\Pelmora Scourly\Scourly.exe'

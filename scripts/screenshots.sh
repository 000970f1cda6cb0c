#!/usr/bin/env bash
# Renders the five wizard pages under Wine into docs/screenshots/*.png.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${SCOURLY_BUILD_DIR:-$root/build}
out=$root/docs/screenshots
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A program folder of its own, so the shots start from the built-in list.
cp "$build/win/tests/win/page_shots.exe" "$work/"
bash "$root/scripts/bench.sh" up "$build/win" >/dev/null
eval "$(bash "$root/scripts/bench.sh" env "$build/win")"
wine "$work/page_shots.exe" "$(winepath -w "$work")" </dev/null
for i in 1 2 3 4 5; do
  convert "$work/page$i.bmp" -strip "$out/page$i.png"
done
echo "wrote $out/page1.png .. page5.png"

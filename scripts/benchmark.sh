#!/usr/bin/env bash
# Runs the benchmarks under the Wine bench; each prints its baseline beside
# what it measures.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${SCOURLY_BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh"
bash "$root/scripts/wine-run.sh" "--bench=$build/win" "$build/win/benchmarks/pump_bench.exe" "$@"
# The updater's download against a bare libcurl program, from nginx.
/usr/bin/python3 "$root/benchmarks/download_bench.py" "$build/win"

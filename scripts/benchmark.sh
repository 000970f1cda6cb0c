#!/usr/bin/env bash
# Runs the benchmarks under the Wine bench; each prints its baseline beside
# what it measures, both built for the same target: the i686 test build
# (build/win) where this machine runs 32-bit code, else the x86_64 one
# (build/win64).
#
#   benchmark.sh                  all, at their default sizes
#   benchmark.sh pump [ITEMS]     the message points of a long loop
#   benchmark.sh scan [FOLDERS [FILES [RUNS]]]  the scan against a bare walk
#                                 (scan 5000 40: 200,000 files)
#   benchmark.sh cleanup [FILES [PER FOLDER [ROUNDS [BATCH]]]]  the cleanup against
#                                 DeleteFileA and SHFileOperationA loops, plain
#                                 and with the cleanup's checks of each file
#   benchmark.sh download [MEGABYTES [ROUNDS]]  the updater's download
#                                 against a bare libcurl program, from nginx
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${SCOURLY_BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh"
# shellcheck source=bench-lib.sh
. "$root/scripts/bench-lib.sh"
tree=$build/win
if ! why=$(bench_runs_32bit); then
  echo "benchmark: the x86_64 build, $why"
  tree=$build/win64
fi
run() {  # name, arguments...
  local name=$1
  shift
  if [ "$name" = download ]; then
    /usr/bin/python3 "$root/benchmarks/download_bench.py" "$tree" "$@"
  else
    bash "$root/scripts/wine-run.sh" "--bench=$tree" "$tree/benchmarks/${name}_bench.exe" "$@"
  fi
}
case ${1:-} in
  "") run pump && run scan && run cleanup && run download ;;
  pump|scan|cleanup|download) run "$@" ;;
  *) echo "benchmark.sh: no benchmark '$1' (pump, scan, cleanup, download)" >&2; exit 2 ;;
esac

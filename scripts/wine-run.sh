#!/usr/bin/env bash
# Runs a Windows program in the unit-test prefix and exits with its exit code
# (Wine passes on the low 8 bits). Used as CMAKE_CROSSCOMPILING_EMULATOR:
#
#   wine-run.sh [--bench=DIR] PROGRAM.exe [ARGS...]
#
# The bench is found as in bench.sh (SCOURLY_BENCH, SCOURLY_BUILD_DIR/win, or the build
# tree around PWD). When it is not up yet it is brought up here first, so test
# discovery at build time works too; "bench.sh down" ends it.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source-path=SCRIPTDIR
. "$here/bench-lib.sh"

build=
case ${1:-} in
  --bench=*) build=${1#--bench=}; shift ;;
esac
[ $# -gt 0 ] || bench_die "wine-run: no program"
bench_resolve "$build"

if ! bench_is_up; then
  (bench_with_lock bench_up_locked) </dev/null >>"$BENCH/bench.log" 2>&1 \
    || { echo "wine-run: bench did not come up, see $BENCH/bench.log" >&2; exit 125; }
fi

bench_export_unit_env
exec "$WINELOADER" "$@"

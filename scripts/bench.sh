#!/usr/bin/env bash
# Wine test bench for the cross-built Windows tests.
#
#   scripts/bench.sh up       [BUILD_DIR]   X server, unit-test prefix, persistent wineserver, e2e template
#   scripts/bench.sh down     [BUILD_DIR]   ends the bench's Wine processes (unit and e2e) and X servers
#   scripts/bench.sh template [BUILD_DIR]   only the e2e template prefix (bench.py calls this when it is missing)
#   scripts/bench.sh status   [BUILD_DIR]   prints what runs; exit 0 when up
#   scripts/bench.sh env      [BUILD_DIR]   prints export lines of the unit-test environment
#   scripts/bench.sh run      [BUILD_DIR] -- PROGRAM [ARGS]   wine PROGRAM in the unit-test prefix
#
# BUILD_DIR defaults to SCOURLY_BENCH / SCOURLY_BUILD_DIR/win / the build tree around PWD.
# Every step is idempotent; concurrent callers queue on BENCH/bench.lock.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source-path=SCRIPTDIR
. "$here/bench-lib.sh"

cmd=${1:-}
case $cmd in
  up | down | template | status | env | run) shift ;;
  *)
    sed -n '2,/^[^#]/{/^#/s/^# \{0,1\}//p}' "$0" >&2
    exit 2
    ;;
esac
build=
if [ $# -gt 0 ] && [ "$1" != -- ]; then
  build=$1
  shift
fi
[ "${1:-}" = -- ] && shift
bench_resolve "$build"

case $cmd in
  up)
    # The X server and wineserver get no pipe of ours: a caller reading our output
    # (CTest, CI) would otherwise wait for them to end.
    (
      bench_with_lock bench_up_locked
      bench_with_lock bench_template_locked
    ) </dev/null >"$BENCH/bench.log" 2>&1 || { cat "$BENCH/bench.log" >&2; exit 1; }
    echo "bench up: $BENCH (DISPLAY=$(bench_display))"
    ;;
  template)
    (bench_with_lock bench_template_locked) </dev/null >>"$BENCH/bench.log" 2>&1 \
      || { tail -20 "$BENCH/bench.log" >&2; exit 1; }
    ;;
  down)
    bench_with_lock bench_down_locked
    echo "bench down: $BENCH"
    ;;
  status)
    up=0
    if bench_xvfb_alive; then echo "xvfb: $(bench_display) pid $(cat "$BENCH/xvfb.pid")"; else echo "xvfb: down"; up=1; fi
    if pid=$(bench_server_pid "$BENCH/prefix"); then echo "wineserver: pid $pid"; else echo "wineserver: down"; up=1; fi
    [ -f "$BENCH/prefix/.bench-ready" ] && echo "prefix: $BENCH/prefix" || echo "prefix: missing"
    [ -f "$BENCH/e2e-template/.bench-ready" ] && echo "e2e template: $BENCH/e2e-template" || echo "e2e template: missing"
    exit $up
    ;;
  env)
    bench_export_unit_env
    for v in WINEPREFIX WINEARCH WINELOADER WINESERVER WINEDEBUG WINEDLLOVERRIDES HOME DISPLAY XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME LANG; do
      printf 'export %s=%q\n' "$v" "${!v}"
    done
    ;;
  run)
    [ $# -gt 0 ] || bench_die "run: no program"
    exec "$here/wine-run.sh" "--bench=$BENCH" "$@"
    ;;
esac

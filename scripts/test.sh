#!/usr/bin/env bash
# The test command: installs what is missing, builds everything, then runs
# the host tests (plain and under sanitizers, and the check of the i686
# release programs as files) and the Windows tests and end-to-end tests under
# Wine in Xvfb: those of the x86_64 build under 64-bit Wine always, and those
# of the i686 build too where this machine runs 32-bit code (found by trying).
#
# As root the tests run in namespaces of their own (scripts/isolate.sh: network,
# processes, mounts, a private /tmp): their fixed loopback ports, X displays
# and wineservers are nobody else's, and every process they start ends with
# the run. Without them the run stops at once when one of its ports is taken.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${SCOURLY_BUILD_DIR:-$root/build}
export SCOURLY_BUILD_DIR=$build

if [ "${SCOURLY_TEST_NAMESPACE:-}" != inside ]; then
  bash "$root/scripts/setup.sh"
  bash "$root/scripts/build.sh"
  rc=0
  SCOURLY_TEST_NAMESPACE=inside bash "$root/scripts/isolate.sh" bash "$root/scripts/test.sh" "$@" || rc=$?
  [ $rc -eq 125 ] || exit $rc
  echo "test: the tests share this machine's ports"
  # shellcheck source=ports.sh
  . "$root/scripts/ports.sh"
  # shellcheck disable=SC2046
  if ! busy=$(ports_report_busy $(ports_of_tests "$build")); then
    echo "$busy" >&2
    echo "test: the tests serve on these ports; stop what holds them, or run as root" >&2
    exit 1
  fi
fi

# The Windows suites, each on a bench of its own, one after the other.
# shellcheck source=bench-lib.sh
. "$root/scripts/bench-lib.sh"
suites=(win64)
if why=$(bench_runs_32bit); then
  suites+=(win)
else
  echo "test: the i686 Windows tests are not run, $why; the x86_64 build runs them"
fi

# The bench of the suite under way: CTest's Wine wrapper and the end-to-end
# tests find it through this. Whatever ends the run takes it down.
export SCOURLY_BENCH=
trap '[ -z "$SCOURLY_BENCH" ] || bash "$root/scripts/bench.sh" down "$SCOURLY_BENCH" >/dev/null 2>&1 || true' EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

passed=0
failed=0
skipped=0
status=0
run_ctest() {  # build dir, extra ctest arguments...
  local dir=$1 log
  shift
  log=$(mktemp)
  echo "== ctest in ${dir#"$root"/}"
  if ! (cd "$dir" && ctest --output-on-failure --timeout 300 "$@") </dev/null 2>&1 | tee "$log"; then
    status=1
  fi
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
  if [ -n "$line" ]; then
    local total bad
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    local none
    none=$(grep -c '(Skipped)$' "$log" || true)
    passed=$((passed + total - bad - none))
    failed=$((failed + bad))
    skipped=$((skipped + none))
  else
    status=1
  fi
  rm -f "$log"
}

run_ctest "$build/host" -j "$(nproc)"
run_ctest "$build/host-asan" -j "$(nproc)"
for suite in "${suites[@]}"; do
  SCOURLY_BENCH=$build/$suite/bench
  bash "$root/scripts/bench.sh" up "$SCOURLY_BENCH"
  run_ctest "$build/$suite"
  bash "$root/scripts/bench.sh" down "$SCOURLY_BENCH" >/dev/null
done
SCOURLY_BENCH=

echo "$passed passed, $failed failed, $skipped skipped"
exit $status

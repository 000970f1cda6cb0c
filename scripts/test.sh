#!/usr/bin/env bash
# The test command: installs what is missing, builds everything, then runs
# the host tests (plain and under sanitizers) and the Windows tests and
# end-to-end tests under Wine in Xvfb.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${SCOURLY_BUILD_DIR:-$root/build}
export SCOURLY_BUILD_DIR=$build

bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"

bash "$root/scripts/bench.sh" up "$build/win"
trap 'bash "$root/scripts/bench.sh" down "$build/win" >/dev/null 2>&1 || true' EXIT

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
run_ctest "$build/win"

echo "$passed passed, $failed failed, $skipped skipped"
exit $status

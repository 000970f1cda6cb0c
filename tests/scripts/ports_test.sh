#!/usr/bin/env bash
# The port check test.sh makes when the tests share the machine's network:
# a taken port is named with the process holding it, a free one passes.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=../../scripts/ports.sh
. "$root/scripts/ports.sh"
# shellcheck source=hold_port.sh
. "$root/tests/scripts/hold_port.sh"
taken=$HELD_PORT
free=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
failures=0

out=$(ports_report_busy "$free" "$taken") && { echo "FAIL: a taken port passed"; failures=1; }
[ "$out" = "port $taken is held by python3 (pid $HOLDER)" ] || { echo "FAIL: said '$out'"; failures=1; }
out=$(ports_report_busy "$free") || { echo "FAIL: a free port failed: '$out'"; failures=1; }

[ $failures -eq 0 ] && echo "all cases pass"
exit $failures

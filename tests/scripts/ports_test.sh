#!/usr/bin/env bash
# The port check test.sh makes when the tests share the machine's network:
# a taken port is named with the process holding it, a free one passes.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=../../scripts/ports.sh
. "$root/scripts/ports.sh"
port_file=$(mktemp)
python3 -c '
import socket, time
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen()
print(s.getsockname()[1], flush=True); time.sleep(60)' >"$port_file" &
holder=$!
trap 'kill $holder; rm -f "$port_file"' EXIT
for _ in $(seq 100); do [ -s "$port_file" ] && break; sleep 0.05; done
taken=$(cat "$port_file")
free=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
failures=0

out=$(ports_report_busy "$free" "$taken") && { echo "FAIL: a taken port passed"; failures=1; }
[ "$out" = "port $taken is held by python3 (pid $holder)" ] || { echo "FAIL: said '$out'"; failures=1; }
out=$(ports_report_busy "$free") || { echo "FAIL: a free port failed: '$out'"; failures=1; }

[ $failures -eq 0 ] && echo "all cases pass"
exit $failures

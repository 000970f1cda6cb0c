#!/usr/bin/env bash
# Starts or stops the local update server the Windows tests download from:
# 127.0.0.1 at the port the test build names as its update host.
#   update_server.sh start|stop STATE_DIR PORT [MODE]
# MODE full-backlog: a listener whose connects never complete.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cmd=$1 state=$2 port=$3 mode=${4:-serve}
mkdir -p "$state"
case $cmd in
  start)
    rm -f "$state/port" "$state/requests.log"
    if [ -f "$state/pid" ]; then kill "$(cat "$state/pid")" 2>/dev/null || true; fi
    nohup /usr/bin/python3 "$here/../server/http_test_server.py" --port "$port" \
      --script "$here/update_server.json" --log "$state/requests.log" --port-file "$state/port" --mode "$mode" \
      </dev/null >"$state/server.out" 2>&1 &
    echo $! >"$state/pid"
    for _ in $(seq 100); do
      [ -s "$state/port" ] && exit 0
      sleep 0.05
    done
    echo "update server did not start:" >&2
    cat "$state/server.out" >&2
    exit 1
    ;;
  stop)
    if [ -f "$state/pid" ]; then kill "$(cat "$state/pid")" 2>/dev/null || true; rm -f "$state/pid"; fi
    ;;
esac

#!/usr/bin/env bash
# scripts/isolate.sh, which test.sh runs the tests in: a port taken outside is
# free inside and its loopback works, /tmp is its own, no process outlives
# it, and the command's exit status comes back. Skipped (77) where namespaces
# cannot be made.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
isolate=$root/scripts/isolate.sh
unshare --net --pid --fork --mount-proc true 2>/dev/null || { echo "no namespaces here"; exit 77; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# shellcheck source=hold_port.sh
. "$root/tests/scripts/hold_port.sh"
port=$HELD_PORT

# Served and reached on the loopback inside.
bash "$isolate" python3 -c "
import socket
s = socket.socket(); s.bind(('127.0.0.1', $port)); s.listen()
socket.create_connection(('127.0.0.1', $port), timeout=5)" \
  || fail "port $port, taken outside, could not be served inside"

probe=isolate-probe-$$
bash "$isolate" touch "/tmp/$probe" || fail "touch in /tmp failed"
[ ! -e "/tmp/$probe" ] || { fail "/tmp is shared"; rm -f "/tmp/$probe"; }

# A tree under /tmp (here a build folder) is seen inside, and kept, while the
# rest of /tmp is still the command's own.
tree=$(mktemp -d /tmp/isolate-tree.XXXXXX)
echo outside >"$tree/mark"
SCOURLY_BUILD_DIR=$tree/build bash "$isolate" bash -c \
  "grep -qx outside '$tree/mark' && echo inside >'$tree/back' && touch '/tmp/$probe'" \
  || fail "a tree under /tmp was not reachable inside"
[ "$(cat "$tree/back" 2>/dev/null)" = inside ] || fail "a write into a tree under /tmp was lost"
[ ! -e "/tmp/$probe" ] || { fail "/tmp is shared when a tree lies under it"; rm -f "/tmp/$probe"; }
rm -rf "$tree"

# A process left behind in the background, found by its unique argument.
bash "$isolate" bash -c 'sleep 987.$$ & sleep 0.2; echo $! >/dev/null' >/dev/null
sleep 0.5
pgrep -f 'sleep 987\.' >/dev/null && fail "a background process outlived the command"

bash "$isolate" bash -c 'exit 3'
[ $? -eq 3 ] || fail "exit status not passed on"

[ $failures -eq 0 ] && echo "all cases pass"
exit $((failures > 0))

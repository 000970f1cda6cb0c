# shellcheck shell=bash
# Sourced by the script tests: a process that listens on a free loopback port
# for the rest of the test. Sets HELD_PORT and HOLDER (its pid).
held_port_file=$(mktemp)
python3 -c '
import socket, time
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen()
print(s.getsockname()[1], flush=True); time.sleep(60)' >"$held_port_file" &
HOLDER=$!
trap 'kill $HOLDER; rm -f "$held_port_file"' EXIT
for _ in $(seq 100); do [ -s "$held_port_file" ] && break; sleep 0.05; done
HELD_PORT=$(cat "$held_port_file")

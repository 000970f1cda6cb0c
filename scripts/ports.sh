# shellcheck shell=bash
# Which of the loopback ports the tests serve on are already taken on this
# machine; sourced by test.sh when the tests cannot have a network of their own.

# Prints one line for each given TCP port something listens on, naming the
# process that holds it; returns 1 when any is taken.
ports_report_busy() {
  local port line who busy=0
  for port in "$@"; do
    line=$(ss -Hltnp "sport = :$port" 2>/dev/null | head -n 1)
    [ -n "$line" ] || continue
    busy=1
    who=$(sed -nE 's/.*users:\(\("([^"]*)",pid=([0-9]+).*/\1 (pid \2)/p' <<<"$line")
    echo "port $port is held by ${who:-a process this user cannot see}"
  done
  return $busy
}

# The ports the test builds under BUILD serve on, each once: each tree's
# update host, and for the Windows tests the stall server ten above it
# (tests/win). The two Windows trees name the same ones.
ports_of_tests() {  # build dir
  local dir host
  for dir in win64 win host host-asan; do
    host=$(sed -n 's/^SCOURLY_UPDATE_HOST:STRING=//p' "$1/$dir/CMakeCache.txt" 2>/dev/null)
    case $host in
      127.0.0.1:*) echo "${host##*:}" ;;
      *) continue ;;
    esac
    [ "${dir#win}" != "$dir" ] && echo $((${host##*:} + 10))
  done | sort -nu
}

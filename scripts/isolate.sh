#!/usr/bin/env bash
# Runs a command in Linux namespaces of its own: a network with only the
# loopback (up), its own processes and mounts, and a private /tmp (X server
# and wineserver sockets live there). Nothing else on the machine holds its
# ports, and every process the command starts ends with it. Exits with the
# command's status, or 125 when the namespaces cannot be made (they need root).
#
#   scripts/isolate.sh COMMAND [ARGS...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

if [ "${SCOURLY_ISOLATED:-}" != 1 ]; then
  if ! unshare --net --pid --fork --mount-proc true 2>/dev/null; then
    echo "isolate: namespaces cannot be made here (they need root)" >&2
    exit 125
  fi
  # The first process inside is pid 1: when it ends, so does every other.
  SCOURLY_ISOLATED=1 exec unshare --net --pid --fork --mount-proc --kill-child \
    bash "$root/scripts/isolate.sh" "$@"
fi
unset SCOURLY_ISOLATED
ip link set lo up
# A private /tmp. A tree that lives under /tmp (the checkout, the working
# folder, the build folder) is bound back into it from the old /tmp, reached
# through a descriptor opened before the new one hides it.
kept=()
for path in "$root" "$PWD" "${SCOURLY_BUILD_DIR:-}"; do
  case $path in
    /tmp/?*)
      top=${path#/tmp/}
      kept+=("${top%%/*}")
      ;;
  esac
done
exec 8</tmp
mount -t tmpfs tmpfs /tmp
for name in "${kept[@]}"; do
  [ -d "/tmp/$name" ] && continue
  mkdir "/tmp/$name"
  mount --no-canonicalize --bind "/proc/self/fd/8/$name" "/tmp/$name"
done
exec 8<&-
"$@"

#!/usr/bin/env bash
# Installs what the project needs on a Debian bookworm machine and builds the
# dependencies for Windows. Safe to run again: each step skips what is done.
set -Eeuo pipefail
trap 'echo "setup: \"$BASH_COMMAND\" failed (exit $?, line $LINENO)" >&2' ERR
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/install-packages.sh"
bash "$root/scripts/build-deps.sh"

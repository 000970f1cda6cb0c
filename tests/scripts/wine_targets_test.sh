#!/usr/bin/env bash
# How the test run decides whether the i686 build can run here: by starting
# the 32-bit Wine loader. A loader that is missing, or that this kernel can't
# start (a program for another machine gives the same "Exec format error" as
# an i386 one where 32-bit emulation is off), means no, with the reason; one
# that starts means yes.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=../../scripts/bench-lib.sh
. "$root/scripts/bench-lib.sh"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# An ELF program for a 64-bit ARM machine: headers only, never runs here.
python3 - "$dir/foreign" <<'PY'
import struct, sys
header = b'\x7fELF' + bytes([2, 1, 1]) + bytes(9)
header += struct.pack('<HHIQQQIHHHHHH', 2, 183, 1, 0x400000, 64, 0, 0, 64, 56, 0, 64, 0, 0)
open(sys.argv[1], 'wb').write(header)
PY
chmod +x "$dir/foreign"
printf '#!/bin/sh\necho wine-8.0\n' >"$dir/starts"
chmod +x "$dir/starts"

if out=$(bench_runs_32bit "$dir/missing"); then fail "a missing loader was taken"; fi
case $out in *"not installed"*) ;; *) fail "missing loader: said '$out'" ;; esac
if out=$(bench_runs_32bit "$dir/foreign"); then fail "a loader that can't start was taken"; fi
case $out in *"can't start 32-bit programs"*"$dir/foreign"*) ;; *) fail "foreign loader: said '$out'" ;; esac
out=$(bench_runs_32bit "$dir/starts") || fail "a loader that starts was refused: '$out'"

[ $failures -eq 0 ] && echo "all cases pass"
exit $((failures > 0))

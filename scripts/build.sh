#!/usr/bin/env bash
# Builds everything the tests need: the two programs as released for i686
# (build/release: the product, which the tests check without running it), the
# Windows programs and tests for x86_64 (build/win64), and for i686 too
# (build/win) where this machine runs 32-bit code, the host tests (build/host)
# and the host tests under AddressSanitizer and UBSan (build/host-asan). The
# test builds name a local update server. Installs nothing; see
# scripts/setup.sh.
#
#   scripts/build.sh release     only the two programs as released, update
#                                host at its default, into build/release (i686)
#   scripts/build.sh release64   the same for x86_64, into build/release64
set -Eeuo pipefail
trap 'echo "build: \"$BASH_COMMAND\" failed (exit $?, line $LINENO)" >&2' ERR
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${SCOURLY_BUILD_DIR:-$root/build}
jobs=$(nproc)

configure() {  # dir, extra cmake arguments...
  local dir=$1
  shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -G Ninja -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >"$dir.configure.log" 2>&1 \
      || { cat "$dir.configure.log" >&2; exit 1; }
  fi
}

# The deps come from build-deps.sh, which always builds into the checkout.
deps=$root/build/deps

release() {  # dir, target
  configure "$1" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$2-mingw.cmake" \
    -DSCOURLY_DEPS_PREFIX="$deps/$2"
  cmake --build "$1" -j "$jobs" --target Scourly Update
}

windows_tests() {  # dir, target
  configure "$1" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$2-mingw.cmake" \
    -DSCOURLY_DEPS_PREFIX="$deps/$2" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-run.sh" \
    -DSCOURLY_UPDATE_HOST="${SCOURLY_TEST_UPDATE_HOST:-127.0.0.1:18080}"
  cmake --build "$1" -j "$jobs"
}

mkdir -p "$build"
case ${1:-} in
  release) release "$build/release" i686; exit 0 ;;
  release64) release "$build/release64" x86_64; exit 0 ;;
esac

release "$build/release" i686
windows_tests "$build/win64" x86_64
# shellcheck source=bench-lib.sh
. "$root/scripts/bench-lib.sh"
if bench_runs_32bit >/dev/null; then
  windows_tests "$build/win" i686
fi
# Each host test build names a loopback port of its own as the update host;
# the product check reads the i686 release build.
configure "$build/host" -DSCOURLY_UPDATE_HOST=127.0.0.1:18081 -DSCOURLY_RELEASE_DIR="$build/release"
configure "$build/host-asan" -DCMAKE_BUILD_TYPE=Debug -DSCOURLY_UPDATE_HOST=127.0.0.1:18082 -DSCOURLY_SCRIPT_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"

for dir in host host-asan; do
  cmake --build "$build/$dir" -j "$jobs"
done

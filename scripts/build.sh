#!/usr/bin/env bash
# Builds everything the tests need: the Windows programs and tests
# (build/win), the host tests (build/host) and the host tests under
# AddressSanitizer and UBSan (build/host-asan). These test builds name a
# local update server. Installs nothing; see scripts/setup.sh.
#
#   scripts/build.sh release   only the two programs as released, update host
#                              at its default, into build/release (scripts/run.sh)
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

mkdir -p "$build"
if [ "${1:-}" = release ]; then
  configure "$build/release" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" \
    -DSCOURLY_DEPS_PREFIX="$build/deps/i686"
  cmake --build "$build/release" -j "$jobs" --target Scourly Update
  exit 0
fi

configure "$build/win" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" \
  -DSCOURLY_DEPS_PREFIX="$build/deps/i686" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-run.sh" \
  -DSCOURLY_UPDATE_HOST="${SCOURLY_TEST_UPDATE_HOST:-127.0.0.1:18080}"
# Each test build names a loopback port of its own as the update host.
configure "$build/host" -DSCOURLY_UPDATE_HOST=127.0.0.1:18081
configure "$build/host-asan" -DCMAKE_BUILD_TYPE=Debug -DSCOURLY_UPDATE_HOST=127.0.0.1:18082 -DSCOURLY_SCRIPT_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"

for dir in win host host-asan; do
  cmake --build "$build/$dir" -j "$jobs"
done

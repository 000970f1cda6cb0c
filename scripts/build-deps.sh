#!/usr/bin/env bash
# Builds the third-party libraries of the Windows programs (libjpeg-turbo,
# libcurl) from Debian's source packages, as static libraries for each
# MinGW-w64 target (i686, the product; x86_64, the test build where the
# kernel runs no 32-bit code), into build/deps/<target>. A library whose
# install stamp is there is left alone; remove build/deps (or
# build/deps/<target>) to rebuild.
#
#   scripts/build-deps.sh [TARGET...]    i686 and x86_64 when none is named
#
# Configure the project with
#   -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-<target>-mingw.cmake
#   -DSCOURLY_DEPS_PREFIX=<repo>/build/deps/<target>
set -Eeuo pipefail
trap 'echo "build-deps: \"$BASH_COMMAND\" failed (exit $?, line $LINENO)" >&2' ERR

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
DEPS="$ROOT/build/deps"
SRC="$DEPS/src"
TARGETS=("$@")
[ ${#TARGETS[@]} -gt 0 ] || TARGETS=(i686 x86_64)

export DEBIAN_FRONTEND=noninteractive
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi

log() { printf '== %s\n' "$*"; }
die() { printf 'build-deps: %s\n' "$*" >&2; exit 1; }

for tool in apt-get dpkg-source cmake ninja nasm; do
  command -v "$tool" >/dev/null || die "$tool is missing: run scripts/install-packages.sh"
done
for target in "${TARGETS[@]}"; do
  [ -f "$ROOT/cmake/toolchain-$target-mingw.cmake" ] || die "no toolchain file for target $target"
  command -v "$target-w64-mingw32-gcc-posix" >/dev/null \
    || die "$target-w64-mingw32-gcc-posix is missing: run scripts/install-packages.sh"
done

mkdir -p "$SRC"

# Name of the .dsc that 'apt-get source' would fetch now (the newest version).
# Prints nothing when apt knows no such source yet (its lists not fetched).
newest_dsc() {
  { apt-get source --print-uris -q "$1" </dev/null 2>/dev/null || true; } \
    | awk '$2 ~ /\.dsc$/ && !found { print $2; found = 1 }'
}

apt_updated=0
# Downloads and unpacks the newest source of a package (Debian patches
# applied); sets DSC and SRCDIR. The directory name carries the full Debian
# version, so a later security update lands beside it instead of over it.
fetch_source() {
  local pkg="$1"
  DSC="$(newest_dsc "$pkg")"
  if [ -z "$DSC" ] && [ $apt_updated -eq 0 ]; then
    # Source lists may never have been fetched on a fresh machine.
    $SUDO apt-get update -q </dev/null
    apt_updated=1
    DSC="$(newest_dsc "$pkg")"
  fi
  [ -n "$DSC" ] || die "no source package for $pkg (are deb-src entries enabled?)"
  DSC="$SRC/$DSC"

  SRCDIR="${DSC%.dsc}"
  SRCDIR="$SRC/$(basename "$SRCDIR" | sed 's/_/-/')"
  if [ ! -d "$SRCDIR" ]; then
    (cd "$SRC" && apt-get source --download-only -q "$pkg" </dev/null)
    [ -f "$DSC" ] || die "apt-get source did not leave $DSC"
    # Unpack beside and rename, so an interrupted run never looks complete.
    rm -rf "$SRCDIR.tmp"
    dpkg-source -x "$DSC" "$SRCDIR.tmp"
    mv "$SRCDIR.tmp" "$SRCDIR"
  fi
}

dsc_version() {
  sed -n 's/^Version: *//p' "$1" | head -n1
}

cmake_cross() {
  cmake -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" \
    "$@"
}

# Set per target by the loop at the end.
PREFIX= TOOLCHAIN= TARGET=

build_libjpeg_turbo() {
  local srcdir="$1" bdir="$DEPS/build-$TARGET-libjpeg-turbo"
  rm -rf "$bdir"
  cmake_cross -S "$srcdir" -B "$bdir" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_SIMD=ON -DREQUIRE_SIMD=ON \
    -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF
  cmake --build "$bdir"
  cmake --install "$bdir"
}

build_curl() {
  local srcdir="$1" bdir="$DEPS/build-$TARGET-curl"
  rm -rf "$bdir"
  # Plain HTTP with the in-memory cookie engine is all the updater needs;
  # everything else is left out so that nothing pulls in another library
  # (the mingw sysroot may well carry a zlib) or a DLL.
  cmake_cross -S "$srcdir" -B "$bdir" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF \
    -DENABLE_MANUAL=OFF -DCURL_LTO=OFF \
    -DHTTP_ONLY=ON -DCURL_DISABLE_COOKIES=OFF \
    -DENABLE_WEBSOCKETS=OFF -DENABLE_UNIX_SOCKETS=OFF \
    -DCURL_ENABLE_SSL=OFF -DCURL_CA_BUNDLE=none -DCURL_CA_PATH=none \
    -DENABLE_ARES=OFF -DENABLE_THREADED_RESOLVER=ON \
    -DCURL_ZLIB=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF \
    -DCURL_USE_LIBPSL=OFF -DUSE_LIBIDN2=OFF -DUSE_WIN32_IDN=OFF \
    -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBSSH=OFF -DCURL_USE_GSSAPI=OFF \
    -DUSE_NGHTTP2=OFF

  # Cheap guard against a newer curl changing what those switches mean.
  local cfg="$bdir/lib/curl_config.h" sym
  for sym in USE_OPENSSL USE_SCHANNEL USE_MBEDTLS USE_WOLFSSL USE_BEARSSL \
             HAVE_LIBZ HAVE_BROTLI HAVE_ZSTD USE_LIBPSL HAVE_LIBIDN2 \
             USE_LIBSSH2 USE_LIBSSH USE_NGHTTP2 USE_ARES CURL_DISABLE_COOKIES \
             CURL_DISABLE_HTTP; do
    if grep -q "^#define $sym\b" "$cfg"; then
      die "curl configured with $sym"
    fi
  done
  grep -q '^#define USE_THREADS_WIN32\b' "$cfg" || die "curl configured without the threaded resolver"

  cmake --build "$bdir"
  cmake --install "$bdir"
}

build_target() {
  TARGET=$1
  PREFIX="$DEPS/$TARGET"
  TOOLCHAIN="$ROOT/cmake/toolchain-$TARGET-mingw.cmake"
  local stamps="$PREFIX/.stamps" pkg stamp start version
  mkdir -p "$stamps"
  # name = Debian source package; build_<name with - as _> does the work.
  for pkg in libjpeg-turbo curl; do
    stamp="$stamps/$pkg"
    if [ -f "$stamp" ]; then
      log "$pkg $(cat "$stamp") for $TARGET: already built"
      continue
    fi
    start=$SECONDS
    fetch_source "$pkg"
    version="$(dsc_version "$DSC")"
    [ -n "$version" ] || die "cannot tell the version in $DSC"
    log "$pkg $version for $TARGET: building"
    "build_${pkg//-/_}" "$SRCDIR"
    printf '%s\n' "$version" >"$stamp"
    log "$pkg $version for $TARGET: done in $((SECONDS - start)) s"
  done

  : >"$PREFIX/VERSIONS.txt.tmp"
  for pkg in libjpeg-turbo curl; do
    printf '%s %s\n' "$pkg" "$(cat "$stamps/$pkg")" >>"$PREFIX/VERSIONS.txt.tmp"
  done
  mv "$PREFIX/VERSIONS.txt.tmp" "$PREFIX/VERSIONS.txt"
  log "built into $PREFIX:"
  sed 's/^/   /' "$PREFIX/VERSIONS.txt"
}

for target in "${TARGETS[@]}"; do
  build_target "$target"
done

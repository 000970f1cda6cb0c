#!/usr/bin/env bash
# Installs the Debian packages the build and the test bench need.
# Safe to run again: apt skips what is already there.
set -Eeuo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=apt-sources.sh
. "$here/apt-sources.sh"
trap 'echo "install-packages: \"$BASH_COMMAND\" failed (exit $?, line $LINENO)" >&2' ERR

if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
export DEBIAN_FRONTEND=noninteractive

# nginx-light: the real web server of the end-to-end update cycle test.
packages=(
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine32:i386 wine64 fonts-wine fonts-liberation
  libxrender1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386
  libxfixes3:i386 libxinerama1:i386 libxcomposite1:i386
  xvfb xauth xdotool imagemagick
  cmake ninja-build nasm make dpkg-dev file curl python3 iproute2 nginx-light
  g++ googletest libgtest-dev libjpeg62-turbo-dev libcurl4-openssl-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

# Source packages of the dependencies are fetched with apt-get source.
need_src=0
apt_has_src_entries || need_src=1

if [ ${#missing[@]} -eq 0 ] && [ $need_src -eq 0 ]; then
  echo "packages: all present"
  exit 0
fi

if [ -n "$SUDO" ] && ! command -v sudo >/dev/null; then
  echo "install-packages: missing ${missing[*]:-source entries}; run as root, or install sudo" >&2
  exit 1
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi

if [ $need_src -eq 1 ]; then
  apt_add_src_entries $SUDO
fi

$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${packages[@]}"

# Only the posix thread model has std::mutex and std::thread in GCC 12.
for tool in i686-w64-mingw32-g++ i686-w64-mingw32-gcc x86_64-w64-mingw32-g++ x86_64-w64-mingw32-gcc; do
  if [ -e "/usr/bin/$tool-posix" ]; then
    $SUDO update-alternatives --set "$tool" "/usr/bin/$tool-posix" >/dev/null 2>&1 || true
  fi
done

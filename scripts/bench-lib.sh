# shellcheck shell=bash
# Shared functions of the Wine test bench; sourced by bench.sh and wine-run.sh.
#
# Bench layout (BENCH, normally <build>/bench):
#   home/            private HOME of the unit-test prefix (Wine's Trash and desktop folders live here)
#   prefix/          WINEPREFIX for the cross-built GoogleTest programs, of the build's bitness
#   e2e-home/        HOME the end-to-end template was booted with
#   e2e-template/    pristine prefix that tests/e2e/bench.py clones per test; never run directly
#   e2e/<test>/      one end-to-end session each (prefix clone, home, fixtures, logs)
#   xvfb.pid, xvfb.display   the bench's X server
#   bench.log        output of the last "up"
#   bench.lock       serialises up, down and template

BENCH_DLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
BENCH_SCREEN=1280x1024x24
BENCH_FIRST_DISPLAY=91
BENCH_LAST_DISPLAY=190

bench_die() {
  echo "bench: $*" >&2
  exit 1
}

# Sets BENCH from, in this order: the argument (a build dir, or a bench dir when it
# ends in /bench), SCOURLY_BENCH, SCOURLY_BUILD_DIR/win (the scripts' build folder holds
# the Windows tree there), or the nearest folder above PWD holding a CMakeCache.txt
# (CTest runs each test inside the build tree).
bench_resolve() {
  local arg=${1:-}
  if [ -n "$arg" ]; then
    case ${arg%/} in
      */bench | bench) BENCH=$arg ;;
      *) BENCH=$arg/bench ;;
    esac
  elif [ -n "${SCOURLY_BENCH:-}" ]; then
    BENCH=$SCOURLY_BENCH
  elif [ -n "${SCOURLY_BUILD_DIR:-}" ]; then
    BENCH=$SCOURLY_BUILD_DIR/win/bench
  else
    local d=$PWD
    while [ "$d" != / ] && [ ! -f "$d/CMakeCache.txt" ]; do d=$(dirname "$d"); done
    [ -f "$d/CMakeCache.txt" ] || bench_die "no build dir: pass one, or set SCOURLY_BENCH or SCOURLY_BUILD_DIR"
    BENCH=$d/bench
  fi
  mkdir -p "$BENCH" || bench_die "cannot create $BENCH"
  BENCH=$(cd "$BENCH" && pwd -P)
}

# Which Wine runs the build around the bench: CMake writes WINEARCH, WINELOADER
# and WINESERVER into <build>/wine.env. The loader and server are called by
# name, since /usr/bin/wine takes the 32-bit loader whenever it is installed.
bench_wine_env() {
  local f k v
  f=$(dirname "$BENCH")/wine.env
  [ -f "$f" ] || bench_die "no $f: configure the Windows build first"
  while IFS='=' read -r k v; do
    case $k in WINEARCH | WINELOADER | WINESERVER) export "$k=$v" ;; esac
  done <"$f"
}

bench_display() {
  [ -f "$BENCH/xvfb.display" ] && cat "$BENCH/xvfb.display"
}

# Exports the environment every Wine process of the bench runs with.
# Args: prefix, home, display.
bench_export_env() {
  export WINEPREFIX=$1 HOME=$2 DISPLAY=$3
  bench_wine_env
  export WINEDEBUG=-all WINEDLLOVERRIDES=$BENCH_DLLOVERRIDES
  # Wine finds the Trash and the desktop folders through these; a caller's own
  # values would send them out of the bench.
  export XDG_DATA_HOME=$HOME/.local/share XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache
  export LANG=C.UTF-8
  local v
  for v in $(compgen -e | grep '^LC_'); do unset "$v"; done
  unset XDG_DATA_DIRS XDG_CONFIG_DIRS WAYLAND_DISPLAY WINEDLLPATH
}

bench_export_unit_env() {
  bench_export_env "$BENCH/prefix" "$BENCH/home" "$(bench_display)"
}

# Without Trash/files and Trash/info Wine deletes FOF_ALLOWUNDO files for good.
# Without user-dirs.dirs Wine links "My Videos" to HOME itself.
bench_home_init() {
  local h=$1 d
  for d in Desktop Documents Downloads Music Pictures Videos Templates Public \
           .local/share/Trash/files .local/share/Trash/info .config .cache; do
    mkdir -p "$h/$d"
  done
  cat >"$h/.config/user-dirs.dirs" <<'DIRS'
XDG_DESKTOP_DIR="$HOME/Desktop"
XDG_DOCUMENTS_DIR="$HOME/Documents"
XDG_DOWNLOAD_DIR="$HOME/Downloads"
XDG_MUSIC_DIR="$HOME/Music"
XDG_PICTURES_DIR="$HOME/Pictures"
XDG_VIDEOS_DIR="$HOME/Videos"
XDG_TEMPLATES_DIR="$HOME/Templates"
XDG_PUBLICSHARE_DIR="$HOME/Public"
DIRS
}

# Is this pid the X server we started? Guards against a reused pid.
bench_is_xvfb() {
  [ -n "${1:-}" ] && kill -0 "$1" 2>/dev/null && tr '\0' ' ' <"/proc/$1/cmdline" 2>/dev/null | grep -q '^Xvfb '
}

bench_xvfb_alive() {
  local pid disp
  pid=$(cat "$BENCH/xvfb.pid" 2>/dev/null) || return 1
  disp=$(bench_display) || return 1
  bench_is_xvfb "$pid" && [ -S "/tmp/.X11-unix/X${disp#:}" ]
}

# Starts Xvfb on the first free display from :91.
# Args: log file. Sets XVFB_DISPLAY and XVFB_PID.
bench_xvfb_spawn() {
  local log=$1 n _ ready
  ready=$(mktemp)
  for n in $(seq "$BENCH_FIRST_DISPLAY" "$BENCH_LAST_DISPLAY"); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    # Only our own server writes its number to -displayfd, once it listens; a socket
    # file may belong to another starter that won the same number.
    : >"$ready"
    setsid Xvfb ":$n" -screen 0 "$BENCH_SCREEN" -nolisten tcp -ac -noreset -displayfd 3 \
      </dev/null >>"$log" 2>&1 3>"$ready" 9>&- &
    XVFB_PID=$!
    for _ in $(seq 100); do
      if [ -s "$ready" ] && kill -0 "$XVFB_PID" 2>/dev/null; then
        XVFB_DISPLAY=:$n
        rm -f "$ready"
        return 0
      fi
      kill -0 "$XVFB_PID" 2>/dev/null || break # another starter took this display
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null
  done
  rm -f "$ready"
  return 1
}

bench_xvfb_up() {
  bench_xvfb_alive && return 0
  bench_xvfb_spawn "$BENCH/xvfb.log" || bench_die "no X server could be started (see $BENCH/xvfb.log)"
  echo "$XVFB_PID" >"$BENCH/xvfb.pid"
  echo "$XVFB_DISPLAY" >"$BENCH/xvfb.display"
}

bench_xvfb_down() {
  local pid
  pid=$(cat "$BENCH/xvfb.pid" 2>/dev/null) || return 0
  if bench_is_xvfb "$pid"; then
    kill "$pid"
    timeout 5 tail --pid="$pid" -f /dev/null || kill -9 "$pid" 2>/dev/null
  fi
  rm -f "$BENCH/xvfb.pid" "$BENCH/xvfb.display"
}

# The wineserver of a prefix, found by the folder it runs in (server-<dev>-<inode>).
bench_server_pid() {
  local prefix=$1 dir p dev ino
  [ -d "$prefix" ] || return 1
  read -r dev ino < <(stat -L -c '%d %i' "$prefix")
  dir=$(printf 'server-%x-%x' "$dev" "$ino")
  for p in $(pgrep '^wineserver'); do
    case $(readlink "/proc/$p/cwd" 2>/dev/null) in
      */"$dir") echo "$p"; return 0 ;;
    esac
  done
  return 1
}

# Wine settings of the bench's prefixes; raise the version when they change.
# Managed=N: with no window manager, Wine waits 2 s for one each time a "managed"
# window is hidden or closed; unmanaged windows go at once.
# Marlett: Wine draws the caption buttons with it, and this Wine does not
# find the copy in its own data folder (fonts-wine), so the buttons showed
# as letters; the prefix's Fonts folder gets one.
# W:, a second fixed drive inside the prefix: tests whose files must sit on a
# path the cleanup admits use it, since Wine shows a mount point as a
# reparse point and a checkout may lie below one (a /tmp of its own, say),
# which the programs rightly refuse on Z:.
BENCH_CONFIG_VERSION=4
bench_prefix_settings() {
  timeout 60 "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
    </dev/null >/dev/null 2>&1 9>&- || return 1
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts" "$WINEPREFIX/drive_w"
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  ln -sfn ../drive_w "$WINEPREFIX/dosdevices/w:"
}

# Creates and boots a prefix once; a prefix without .bench-ready is a broken earlier try.
# Args: prefix, home. Needs DISPLAY set by the caller's environment.
bench_prefix_create() {
  local prefix=$1 home=$2
  if [ ! -f "$prefix/.bench-ready" ]; then
    rm -rf "$prefix"
    bench_home_init "$home"
    (
      bench_export_env "$prefix" "$home" "$DISPLAY"
      timeout 120 "$WINELOADER" wineboot.exe -i </dev/null 9>&- || exit 1
      bench_prefix_settings || exit 1
      # Waits until the server has written the registry out.
      timeout 60 "$WINESERVER" -w </dev/null 9>&-
    ) || bench_die "wineboot of $prefix failed"
    echo "$BENCH_CONFIG_VERSION" >"$prefix/.bench-config"
    touch "$prefix/.bench-ready"
  fi
  bench_prefix_configure "$prefix" "$home"
}

# Brings a prefix made by an older bench up to the current settings.
bench_prefix_configure() {
  local prefix=$1 home=$2
  [ "$(cat "$prefix/.bench-config" 2>/dev/null)" = "$BENCH_CONFIG_VERSION" ] && return 0
  (
    bench_export_env "$prefix" "$home" "$DISPLAY"
    running=0
    bench_server_pid "$prefix" >/dev/null && running=1
    bench_prefix_settings || exit 1
    # A server started just for this must write the registry out before anyone copies it.
    [ $running = 1 ] || timeout 60 "$WINESERVER" -w </dev/null 9>&-
  ) || bench_die "settings of $prefix could not be written"
  echo "$BENCH_CONFIG_VERSION" >"$prefix/.bench-config"
}

bench_unit_server_up() {
  bench_server_pid "$BENCH/prefix" >/dev/null && return 0
  (
    bench_export_unit_env
    # A persistent server makes each test process cost tens of milliseconds instead of ~1.5 s.
    "$WINESERVER" -p </dev/null 9>&-
    # The first process that opens a window starts explorer.exe, which keeps that process's
    # stderr; done here with /dev/null, no test's output pipe stays open behind it. Wine ends
    # the desktop a second after its last program, so a holder stays on it while the bench
    # is up (the server's end takes it down), once the build has made it.
    local holder
    holder=$(dirname "$BENCH")/tests/win/desktop_holder.exe
    if [ -f "$holder" ]; then
      setsid "$WINELOADER" "$holder" </dev/null >/dev/null 2>&1 9>&- &
    fi
    timeout 60 "$WINELOADER" rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 9>&-
  )
  bench_server_pid "$BENCH/prefix" >/dev/null || bench_die "wineserver of $BENCH/prefix did not stay up"
}

bench_is_up() {
  bench_xvfb_alive && bench_server_pid "$BENCH/prefix" >/dev/null
}

# Ends the Wine processes of every end-to-end session and their X servers.
bench_e2e_down() {
  local s pid
  for s in "$BENCH"/e2e/*/; do
    [ -d "$s/prefix" ] || continue
    if bench_server_pid "$s/prefix" >/dev/null; then
      (bench_wine_env; WINEPREFIX=$s/prefix timeout 10 "$WINESERVER" -k </dev/null >/dev/null 2>&1)
    fi
    pid=$(cat "$s/xvfb.pid" 2>/dev/null) && bench_is_xvfb "$pid" && kill "$pid"
    rm -f "$s/xvfb.pid"
  done
  return 0
}

# Daemons started under the lock are given 9>&-, or they would hold it for good.
bench_with_lock() {
  exec 9>"$BENCH/bench.lock"
  timeout 300 flock 9 || bench_die "bench is locked by another run ($BENCH/bench.lock)"
  "$@"
  local rc=$?
  exec 9>&-
  return $rc
}

bench_up_locked() {
  bench_xvfb_up
  DISPLAY=$(bench_display)
  export DISPLAY
  bench_prefix_create "$BENCH/prefix" "$BENCH/home"
  bench_unit_server_up
}

# Nothing runs in the template, so one from an older bench is simply made anew.
bench_template_locked() {
  local t=$BENCH/e2e-template
  if [ -f "$t/.bench-ready" ]; then
    [ "$(cat "$t/.bench-config" 2>/dev/null)" = "$BENCH_CONFIG_VERSION" ] && return 0
    rm -rf "$t" "$BENCH/e2e-home"
  fi
  bench_xvfb_up
  DISPLAY=$(bench_display)
  export DISPLAY
  bench_prefix_create "$t" "$BENCH/e2e-home"
}

bench_down_locked() {
  if bench_server_pid "$BENCH/prefix" >/dev/null; then
    (bench_export_unit_env; timeout 10 "$WINESERVER" -k </dev/null >/dev/null 2>&1)
  fi
  bench_e2e_down
  bench_xvfb_down
}

# Whether this machine runs the i686 build under Wine: found by starting the
# 32-bit loader that i686 builds name in their wine.env, since a kernel may
# have 32-bit emulation switched off whatever is installed. Prints why not and
# returns 1 when it can't. Args: the loader (for the scripts' own tests).
bench_runs_32bit() {
  local loader=${1:-/usr/lib/wine/wine} out
  if [ ! -x "$loader" ]; then
    echo "the 32-bit Wine loader $loader is not installed"
    return 1
  fi
  if ! out=$("$loader" --version 2>&1 </dev/null); then
    # The shell says "...: cannot execute binary file: Exec format error".
    echo "this machine can't start 32-bit programs ($loader: ${out##*: })"
    return 1
  fi
  return 0
}

#!/usr/bin/env bash
# scripts/install-packages.sh on a fresh machine, against apt source folders
# made here: its first run adds a source entry beside each binary one (apt
# itself must then list the source indexes), whichever form the entries have,
# and a failure says what failed. dpkg and apt-get are stand-ins that log.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL [$case]: $*"; failures=$((failures + 1)); }

# Stand-ins: every package is missing, i386 is not yet added.
mkdir -p "$work/bin"
for tool in dpkg-query dpkg apt-get update-alternatives sudo; do
  cat >"$work/bin/$tool" <<STUB
#!/usr/bin/env bash
echo "$tool \$*" >>"\$STUB_LOG"
[ "$tool" = sudo ] && exec "\$@"
[ "$tool \${1:-}" = "apt-get \${APT_FAILS:-none}" ] && exit 100
[ "$tool" = dpkg-query ] && exit 1
exit 0
STUB
  chmod +x "$work/bin/$tool"
done

# Runs install-packages.sh against the folder of the current case.
install() {
  APT_SOURCES_LIST=$etc/sources.list APT_SOURCES_PARTS=$etc/sources.list.d \
    STUB_LOG=$etc/calls.log PATH="$work/bin:$PATH" \
    bash "$root/scripts/install-packages.sh" >"$etc/out.log" 2>&1
}

# The suites apt would fetch source indexes of, read by apt itself.
source_suites() {
  mkdir -p "$etc/lists/partial"
  /usr/bin/apt-get -o Dir::Etc::sourcelist="$etc/sources.list" -o Dir::Etc::sourceparts="$etc/sources.list.d" \
    -o Dir::State::Lists="$etc/lists" -o APT::Architectures::=amd64 --print-uris update 2>&1 \
    | sed -nE "s#^'[^']*/dists/([^/]+)/main/source/Sources[^']*'.*#\1#p" | sort | tr '\n' ' '
}

new_case() {  # name
  case=$1
  etc=$work/$case
  mkdir -p "$etc/sources.list.d"
}

deb822() {  # types suites [extra field]
  printf 'Types: %s\n# a comment\nURIs: http://mirror.example/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n%s\n' "$1" "$2" "${3:-}"
}

# Each case: name, what sources.list holds, the files of sources.list.d,
# and the suites whose source indexes apt must list after the first run.
new_case classic-only
echo 'deb http://mirror.example/debian bookworm main' >"$etc/sources.list"
expect="bookworm "
install || fail "first run failed: $(cat "$etc/out.log")"
[ "$(source_suites)" = "$expect" ] || fail "source suites: '$(source_suites)', want '$expect'"
grep -q '^apt-get install' "$etc/calls.log" || fail "no apt-get install"

new_case classic-in-parts
printf '# deb http://mirror.example/debian old main\n' >"$etc/sources.list"
printf 'deb [arch=amd64] http://mirror.example/debian bookworm main\ndeb http://mirror.example/debian bookworm-updates main\n' \
  >"$etc/sources.list.d/main.list"
expect="bookworm bookworm-updates "
install || fail "first run failed: $(cat "$etc/out.log")"
[ "$(source_suites)" = "$expect" ] || fail "source suites: '$(source_suites)', want '$expect'"

new_case deb822-only
{ deb822 deb "bookworm bookworm-updates"; echo; deb822 deb bookworm-security; echo; deb822 deb old "Enabled: no"; } \
  >"$etc/sources.list.d/debian.sources"
expect="bookworm bookworm-security bookworm-updates "
install || fail "first run failed: $(cat "$etc/out.log")"
[ "$(source_suites)" = "$expect" ] || fail "source suites: '$(source_suites)', want '$expect'"
[ ! -e "$etc/sources.list.d/scourly-src.list" ] || fail "wrote one-line entries for deb822 sources"

new_case deb822-with-src
deb822 "deb deb-src" bookworm >"$etc/sources.list.d/debian.sources"
install || fail "run failed: $(cat "$etc/out.log")"
[ -z "$(ls "$etc/sources.list.d" | grep scourly)" ] || fail "added entries where a source entry was"

# A second run finds the entries of the first and adds nothing.
for case in classic-only deb822-only; do
  etc=$work/$case
  before=$(cat "$etc"/sources.list.d/*)
  install || fail "second run failed: $(cat "$etc/out.log")"
  [ "$(cat "$etc"/sources.list.d/*)" = "$before" ] || fail "second run changed the entries"
done

# Failures name what failed.
new_case no-entries
: >"$etc/sources.list"
if install; then fail "succeeded without any entry"; fi
grep -q "no apt entries of type deb in $etc/sources.list" "$etc/out.log" || fail "silent: $(cat "$etc/out.log")"

new_case update-fails
echo 'deb http://mirror.example/debian bookworm main' >"$etc/sources.list"
if APT_FAILS=update install; then fail "succeeded though apt-get update failed"; fi
grep -q 'apt-get update -q" failed (exit 100' "$etc/out.log" || fail "silent: $(cat "$etc/out.log")"

[ $failures -eq 0 ] && echo "all cases pass"
exit $((failures > 0))

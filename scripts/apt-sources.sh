# shellcheck shell=bash
# The source entries apt needs for `apt-get source` (scripts/build-deps.sh);
# sourced by install-packages.sh. apt's sources come in two forms, both read
# here: one-line entries ("deb URI SUITE COMPONENTS", in sources.list and
# sources.list.d/*.list) and deb822 stanzas (sources.list.d/*.sources, with a
# "Types:" field). A fresh machine may have either, and an empty folder.
# APT_SOURCES_LIST and APT_SOURCES_PARTS point the functions elsewhere (tests).

apt_sources_list() { echo "${APT_SOURCES_LIST:-/etc/apt/sources.list}"; }
apt_sources_parts() { echo "${APT_SOURCES_PARTS:-/etc/apt/sources.list.d}"; }

# Prints every one-line entry file, one after the other.
apt_one_line_entries() {
  local f
  for f in "$(apt_sources_list)" "$(apt_sources_parts)"/*.list; do
    if [ -f "$f" ]; then cat "$f"; fi
  done
}

# Prints every deb822 file, stanzas apart.
apt_stanzas() {
  local f
  for f in "$(apt_sources_parts)"/*.sources; do
    if [ -f "$f" ]; then cat "$f"; echo; fi
  done
}

# Reads deb822 stanzas on stdin. MODE has-src: prints "yes" when an enabled
# stanza has the type deb-src. MODE mirror: prints each enabled binary-only
# stanza again as a source stanza.
apt_stanza_filter() {  # mode
  awk -v mode="$1" '
    BEGIN { RS = ""; FS = "\n" }
    {
      types = ""; enabled = "yes"
      for (i = 1; i <= NF; i++) {
        v = $i; sub(/^[^:]*:[ \t]*/, "", v)
        if (tolower($i) ~ /^types:/) types = v
        if (tolower($i) ~ /^enabled:/) enabled = tolower(v)
      }
      if (enabled == "no") next
      deb = 0; src = 0
      n = split(types, w, /[ \t]+/)
      for (j = 1; j <= n; j++) { if (w[j] == "deb") deb = 1; if (w[j] == "deb-src") src = 1 }
      if (mode == "has-src" && src) print "yes"
      if (mode == "mirror" && deb && !src) {
        for (i = 1; i <= NF; i++)
          print (tolower($i) ~ /^types:/ ? "Types: deb-src" : $i)
        print ""
      }
    }'
}

# Succeeds when some source entry is configured already.
apt_has_src_entries() {
  # grep and awk read to the end: a reader that quits early would break the
  # writer's pipe, which pipefail reports as a failure.
  [ -n "$(apt_one_line_entries | grep -E '^[[:space:]]*deb-src[[:space:]]')" ] \
    || [ -n "$(apt_stanzas | apt_stanza_filter has-src)" ]
}

# Adds a source entry beside every binary entry, in scourly-src.list and
# scourly-src.sources; a command to run the writes with (sudo) may be given.
apt_add_src_entries() {  # [sudo]
  local parts lines stanzas
  parts=$(apt_sources_parts)
  lines=$(apt_one_line_entries | sed -nE 's/^[[:space:]]*deb([[:space:]])/deb-src\1/p')
  stanzas=$(apt_stanzas | apt_stanza_filter mirror)
  if [ -z "$lines" ] && [ -z "$stanzas" ]; then
    echo "no apt entries of type deb in $(apt_sources_list) or $parts/" >&2
    return 1
  fi
  if [ -n "$lines" ]; then
    printf '%s\n' "$lines" | "${@:-command}" tee "$parts/scourly-src.list" >/dev/null
  fi
  if [ -n "$stanzas" ]; then
    printf '%s\n' "$stanzas" | "${@:-command}" tee "$parts/scourly-src.sources" >/dev/null
  fi
}

#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what a desktop, a
# software centre, man and bash will find there.
#   install_test.sh BUILD_DIR PREFIX APP_ID VERSION
set -uo pipefail
build=$1 prefix=$2 id=$3 version=$4

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
root=$stage$prefix
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
# True when the file is there; a failure naming what is missing when not.
present() {
  [ -f "$1" ] || { fail "no $2"; return 1; }
}
need() {
  command -v "$1" >/dev/null || { echo "FAIL: $1 is not installed (scripts/deps.sh installs it)" >&2; exit 1; }
}
for tool in desktop-file-validate appstreamcli readelf groff; do need "$tool"; done

DESTDIR=$stage cmake --install "$build" >/dev/null || { echo "FAIL: cmake --install" >&2; exit 1; }

# A file of the installed tree named by an absolute path as the system will see it.
staged() { echo "$stage$1"; }

# The programs: they run from where they are installed, with no search path
# into the build folder.
for program in quillet quillet-convert; do
  [ -x "$root/bin/$program" ] || fail "$prefix/bin/$program is not installed"
  if readelf -d "$root/bin/$program" | grep -E 'R(UN)?PATH' | grep -qF "$build"; then
    fail "$program keeps a search path into the build folder"
  fi
done
[ "$("$root/bin/quillet-convert" --version)" = "quillet-convert $version" ] ||
  fail "the installed quillet-convert --version does not say $version"

# The desktop entry: valid, and its program and icon are installed files.
desktop=$root/share/applications/$id.desktop
if present "$desktop" "desktop entry $prefix/share/applications/$id.desktop"; then
  report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $report"
  if grep -qE '(error|warning|hint):' <<<"$report"; then fail "desktop-file-validate: $report"; fi
  exec_line=$(sed -n 's/^Exec=//p' "$desktop")
  exec_program=${exec_line%% *}
  case $exec_program in
    /*) [ -x "$(staged "$exec_program")" ] || fail "Exec=$exec_program is not installed" ;;
    *) [ -x "$root/bin/$exec_program" ] || fail "Exec=$exec_program is not in $prefix/bin" ;;
  esac
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  [ "$icon" = "$id" ] || fail "Icon=$icon, expected $id"
  grep -qx 'Categories=Education;' "$desktop" || fail "the entry is not in the Education menu alone"
  grep -qx 'StartupWMClass=Quillet' "$desktop" || fail "the entry does not name the window's class"
fi

# Icons: the drawing and its pictures at their own sizes (PNG header: width
# and height as 4-byte big-endian numbers from byte 16).
icons=$root/share/icons/hicolor
present "$icons/scalable/apps/$id.svg" "scalable icon"
for size in 48 128 256; do
  png=$icons/${size}x$size/apps/$id.png
  if present "$png" "$size px icon"; then
    dimensions=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$dimensions" = "${size}x$size" ] || fail "the $size px icon is $dimensions"
  fi
done

# AppStream metadata: valid, launching the installed entry, releasing this version.
metainfo=$root/share/metainfo/$id.metainfo.xml
if present "$metainfo" "metadata $prefix/share/metainfo/$id.metainfo.xml"; then
  report=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $report"
  # The tree as a whole: the entry it launches and the icons are there.
  report=$(appstreamcli validate-tree --no-net "$root" 2>&1) ||
    fail "appstreamcli validate-tree: $report"
  grep -qF "<id>$id</id>" "$metainfo" || fail "the metadata's id is not $id"
  grep -qF "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metadata does not launch $id.desktop"
  first_release=$(grep -m1 -o '<release version="[^"]*"' "$metainfo")
  [ "$first_release" = "<release version=\"$version\"" ] ||
    fail "the newest release in the metadata is not $version: $first_release"
fi

# Manual pages: compressed, and groff has nothing to say about them.
for page in quillet quillet-convert; do
  man=$root/share/man/man1/$page.1.gz
  if present "$man" "manual page $page.1.gz"; then
    warnings=$(zcat "$man" | groff -man -ww -z 2>&1)
    [ -z "$warnings" ] || fail "$page.1: $warnings"
    zcat "$man" | grep -q "^\.TH .* \"Quillet $version\"" || fail "$page.1 is not of version $version"
  fi
done

# The package's documents: the changelog's newest entry is this version.
doc=$root/share/doc/quillet
present "$doc/copyright" "copyright file"
if present "$doc/changelog.gz" changelog.gz; then
  zcat "$doc/changelog.gz" | head -1 | grep -qF "quillet ($version)" ||
    fail "the changelog's newest entry is not $version"
fi

# The watch service runs the installed quillet-convert.
service=$(find "$stage" -path '*/systemd/user/quillet-watch.service')
if [ -n "$service" ]; then
  exec_start=$(sed -n 's/^ExecStart=//p' "$service")
  [ -x "$(staged "${exec_start%% *}")" ] || fail "ExecStart=$exec_start names no installed program"
  [ "${exec_start#* }" = watch ] || fail "ExecStart=$exec_start does not watch"
  grep -qx 'Restart=on-failure' "$service" || fail "the service is not restarted on failure"
else
  fail "no quillet-watch.service"
fi

# bash completion: what a TAB offers after a few command lines.
completion=$(find "$stage" -path '*/bash-completion/completions/quillet-convert')
if [ -z "$completion" ]; then
  fail "no bash completion"
elif [ ! -f /usr/share/bash-completion/bash_completion ]; then
  fail "bash-completion is not installed (scripts/deps.sh installs it)"
else
  offers() {  # the words offered for the command line "$1" (the last word is completed)
    bash -c '
      source /usr/share/bash-completion/bash_completion
      source "$1"
      read -ra COMP_WORDS <<<"$2"
      [[ $2 == *" " ]] && COMP_WORDS+=("")
      COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
      COMP_LINE=$2 COMP_POINT=${#2}
      _quillet_convert quillet-convert "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
      printf "%s\n" "${COMPREPLY[@]}" | sort | paste -sd" "' _ "$completion" "$1"
  }
  while IFS='|' read -r line expected; do
    got=$(offers "$line")
    [ "$got" = "$expected" ] || fail "completion of '$line': '$got', expected '$expected'"
  done <<'CASES'
quillet-convert |--help --version all fennick list orvella search text watch
quillet-convert w|watch
quillet-convert --v|--version
quillet-convert all --j|--jobs --json
quillet-convert orvella --existing |ask overwrite skip
quillet-convert watch --existing |overwrite skip
quillet-convert watch --se|--settings --settle
quillet-convert watch --j|--jobs --json
quillet-convert list --sort |comment date name student
quillet-convert list --d|--descending
quillet-convert search extra --l|--limit
quillet-convert search ti|
CASES
fi

# The same build below a prefix, as a user who cannot write /usr.
bash "$(dirname "$0")/prefix_install.sh" "$build" || fail "installing below a prefix"

if [ "$failures" -gt 0 ]; then
  echo "$failures failures" >&2
  exit 1
fi
echo "The installed tree under $prefix is complete and valid."

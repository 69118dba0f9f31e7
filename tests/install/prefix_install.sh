#!/usr/bin/env bash
# Installs a build with `cmake --install --prefix` as a user who cannot write
# /usr (nobody, when run as root), then checks that everything landed below
# the prefix, nothing outside it, and that the install manifest removes it all.
#   prefix_install.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
source_dir=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")

user=$(id -un)
as_user() { "$@"; }
if [ "$(id -u)" -eq 0 ]; then
  if ! id -u nobody >/dev/null 2>&1; then
    echo "SKIP: no unprivileged user (nobody) to install as"
    exit 0
  fi
  user=nobody
  as_user() { setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups -- "$@"; }
fi

# The install scripts name the build and source folders by absolute path, and
# the checkout may be closed to that user: a copy of what they read, with the
# names changed.
work=$(mktemp -d /tmp/quillet-prefix.XXXXXX)
trap 'rm -rf "$work"' EXIT
copy() {  # copy FILE: into the work folder, at its place below build or source
  case $1 in
    "$build"/*) dest=$work/build/${1#"$build"/} ;;
    "$source_dir"/*) dest=$work/source/${1#"$source_dir"/} ;;
    *) return ;;
  esac
  mkdir -p "$(dirname "$dest")" && cp -p "$1" "$dest"
}
while IFS= read -r -d '' script; do
  copy "$script"
  grep -oE "\"($build|$source_dir)/[^\"\$]*\"" "$script" | tr -d '"' | while IFS= read -r file; do
    [ -f "$file" ] && copy "$file"
  done
done < <(find "$build" -name cmake_install.cmake -print0)
find "$work/build" -name cmake_install.cmake -exec sed -i \
  -e "s#\"$build/#\"$work/build/#g" -e "s#\"$source_dir/#\"$work/source/#g" {} +
prefix=$work/prefix
mkdir -p "$work/home"
chown -R "$user" "$work"
chmod 755 "$work"
marker=$work/started
touch "$marker"
sleep 1

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
as_user env HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" \
  cmake --install "$work/build" --prefix "$prefix" >"$work/log" 2>&1 ||
  fail "cmake --install --prefix as $user: $(grep -m2 -iE 'denied|error' "$work/log" || tail -3 "$work/log")"
manifest=$work/build/install_manifest.txt
outside=$(grep -v "^$prefix/" "$manifest")
[ -z "$outside" ] || fail "installed outside the prefix: $outside"
for file in /bash-completion/completions/quillet-convert /systemd/user/quillet-watch.service; do
  grep -q "^$prefix/.*$file\$" "$manifest" || fail "no $file below the prefix"
done
if [ "$user" != "$(id -un)" ]; then
  left=$(find /tmp /var/tmp /dev/shm -xdev -user "$user" -newer "$marker" -not -path "$work*" 2>/dev/null)
  [ -z "$left" ] || fail "written outside the prefix: $left"
fi
# What the README says for uninstalling.
as_user xargs -d '\n' rm -f <"$manifest"
left=$(find "$prefix" ! -type d)
[ -z "$left" ] || fail "the install manifest does not remove: $left"

if [ "$failures" -gt 0 ]; then
  echo "$failures failures" >&2
  exit 1
fi
echo "Installed below a prefix as $user, nothing outside it, and removed by its manifest."

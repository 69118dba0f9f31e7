#!/usr/bin/env bash
# Shared by scripts/run and scripts/test: installs what the build needs when it
# is missing. Sourced, not executed.

# What the programs and their installed files are built from (scripts/package
# needs no more), then what the tests and benchmarks add.
QUILLET_BUILD_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev librsvg2-bin libsqlite3-dev
)
QUILLET_DEBIAN_PACKAGES=(
  "${QUILLET_BUILD_PACKAGES[@]}"
  ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  desktop-file-utils appstream bash-completion groff-base
)

# The compiler cache may take precompiled headers: their defines and times
# are the build's own, and the header made a moment before a source is fine.
export CCACHE_SLOPPINESS=${CCACHE_SLOPPINESS:-pch_defines,time_macros,include_file_mtime,include_file_ctime}

quillet_missing_packages() {
  local pkg missing=()
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  echo "${missing[@]}"
}

quillet_install_packages() {
  local wanted=("$@")
  if ! command -v dpkg-query >/dev/null 2>&1 || ! command -v apt-get >/dev/null 2>&1; then
    echo "This system has no apt-get. Please install the equivalents of:" >&2
    echo "  ${wanted[*]}" >&2
    echo "(a C++20 compiler, CMake 3.25+, Ninja, Qt 6 Base with Widgets, GoogleTest, Google Benchmark," >&2
    echo " SQLite 3, rsvg-convert, desktop-file-validate, appstreamcli, bash-completion, groff)" >&2
    return 0
  fi
  local missing
  missing=$(quillet_missing_packages "${wanted[@]}")
  [ -z "$missing" ] && return 0
  echo "Installing missing packages: $missing" >&2
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then sudo="sudo"; else
      echo "Please install as root: apt-get install $missing" >&2
      return 1
    fi
  fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq || return 1
  # shellcheck disable=SC2086
  $sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null || return 1
}

quillet_install_deps() {
  quillet_install_packages "${QUILLET_DEBIAN_PACKAGES[@]}" "$@"
}

#!/usr/bin/env bash
# Sourced by scripts/run --demo and scripts/screenshot: makes a throw-away
# workspace holding a copy of the sample reports, an empty HTML reports folder
# and a settings file that points at them. Prints the workspace's path.

quillet_make_demo_workspace() {
  local root=$1
  local workspace
  workspace=$(mktemp -d "${TMPDIR:-/tmp}/quillet-demo.XXXXXX")
  mkdir -p "$workspace/orvella" "$workspace/fennick" "$workspace/html"
  cp "$root"/examples/orvella/* "$workspace/orvella/"
  cp "$root"/examples/fennick/* "$workspace/fennick/"
  cat > "$workspace/quillet.ini" <<INI
[Options]
Orvella=$workspace/orvella/
Fennick=$workspace/fennick/
HTML%20Reports=$workspace/html/
Convert%20Option=0
Fennick%20Choice=0
INI
  echo "$workspace"
}

#!/usr/bin/env bash
# `make run`: starts Brevix with a sample dictionary in the user's config
# folder. Without a display it starts a virtual one and runs the scripted demo.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/$build/bin"
cfg="${BREVIX_CFG:-${XDG_CONFIG_HOME:-$HOME/.config}/brevix}"
mkdir -p "$cfg"
if [ ! -f "$cfg/Sample.bxd" ]; then
  "$bin/bxdict" create "$cfg/Sample.bxd" --info "Sample dictionary" < "$root/resources/sample.jsonl"
  echo "Created the sample dictionary $cfg/Sample.bxd"
fi

if [ -n "${DISPLAY:-}" ]; then
  exec "$bin/brevix" "/CFG=$cfg"
fi
exec bash "$root/scripts/demo.sh" "$build"

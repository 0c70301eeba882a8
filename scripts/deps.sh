#!/usr/bin/env bash
# Installs every package Brevix needs to build, test and run, on a bare Debian machine.
# Idempotent: packages already present are skipped quickly.
set -euo pipefail

PKGS=(
  build-essential g++ cmake ninja-build pkg-config make git
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6svg6 libgl-dev
  tcl8.6 libtcl8.6 tcl8.6-dev tk8.6
  libx11-dev libxtst-dev libxi-dev libx11-xcb-dev libxcb-xinput-dev libxkbfile-dev x11-xkb-utils
  xkb-data
  libhunspell-dev hunspell-en-us libyaml-cpp-dev libatspi2.0-dev libxres-dev at-spi2-core
  libsimpleini-dev libicu-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  xvfb xauth openbox xdotool x11-utils x11-apps imagemagick
  fonts-dejavu-core xdg-utils
  desktop-file-utils appstream man-db groff-base dpkg-dev file
)

missing=()
for p in "${PKGS[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the game need, skipping those already
# present. Usage: scripts/install-deps.sh [extra package ...]
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libglfw3-dev libgl-dev libgl1-mesa-dri libopenal-dev libopenal1 libstb-dev
  libgtest-dev libgmock-dev zlib1g-dev libvorbis-dev
  xvfb xauth xdotool x11-utils libx11-dev
  dpkg-dev lintian appstream desktop-file-utils man-db
  "$@"
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
run_as_root=()
[ "$(id -u)" -ne 0 ] && run_as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${run_as_root[@]}" apt-get update -qq
"${run_as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

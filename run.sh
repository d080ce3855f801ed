#!/usr/bin/env bash
# Installs what is missing, builds the game in release mode and starts it from the repository
# root, so ./data/ holds the assets and ./.zarnikstate the saved settings. Without a display
# the game runs for a few seconds on a virtual one and a screenshot is saved.
set -euo pipefail
cd "$(dirname "$0")"

if [ -z "${DISPLAY:-}" ]; then
  scripts/install-deps.sh imagemagick
else
  scripts/install-deps.sh
fi

build=build-release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVEXADROME_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target vexadrome

if [ -n "${DISPLAY:-}" ]; then
  exec "./$build/vexadrome"
fi

echo "No display found: running the game for a few seconds on a virtual display."
mkdir -p screenshots
shot="$PWD/screenshots/vexadrome.png"
xvfb-run -a -s "-screen 0 1366x768x24" bash -c '
  "./'"$build"'/vexadrome" &
  game=$!
  sleep 4
  import -window root "'"$shot"'"
  kill "$game" 2>/dev/null || true
  wait "$game" 2>/dev/null || true
'
echo "Screenshot saved to $shot"

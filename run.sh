#!/usr/bin/env bash
# Installs what is missing, builds the game in release mode and starts it from the repository
# root, so ./data/ holds the assets and ./.zarnikstate the saved settings. Without a display
# the game runs for a few seconds on a virtual one and a screenshot is saved. With --web it
# builds the browser version instead and serves it on 127.0.0.1.
set -euo pipefail
cd "$(dirname "$0")"

# --web: builds the page into build-web/ and serves it on this machine for a browser.
if [ "${1:-}" = "--web" ]; then
  scripts/build-web.sh
  port=${VEXADROME_WEB_PORT:-8000}
  # Another server on that port: any free one instead.
  if ! python3 -c 'import socket, sys; socket.socket().bind(("127.0.0.1", int(sys.argv[1])))' "$port" 2>/dev/null; then
    port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  fi
  echo "Vexadrome in a browser: http://127.0.0.1:$port/ (Ctrl+C stops the server)"
  exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web
fi

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

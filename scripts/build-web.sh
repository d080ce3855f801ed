#!/usr/bin/env bash
# Builds the web page with Debian's emscripten into build-web/: index.html, index.js,
# index.wasm and index.data (the packed assets). Those four files are the whole site; any
# static web server can serve them from any path.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh emscripten cmake make python3

# The packaged emscripten's optimiser needs the system's node modules, where the machine's
# node does not look by itself.
export NODE_PATH=/usr/share/nodejs
build=build-web
emcmake cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)"

#!/usr/bin/env bash
# Takes the README's pictures: the real game under a virtual display, driven by scripted keys
# and an autopilot, photographed at the loading screen, the title menu, the option box, the
# credits, a game in play, the pause menu and the game-over overlay. Usage:
# scripts/screenshots.sh [folder], by default docs/pictures.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

folder=${1:-docs/pictures}
build=build-screenshots
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVEXADROME_TESTS=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target screenshot_tour
mkdir -p "$folder"
ALSOFT_DRIVERS=null xvfb-run -a -s "-screen 0 1366x768x24" "$build/tests/screenshot_tour" "$folder"

#!/usr/bin/env bash
# The web page's figures in headless Chromium beside the desktop build's: updates a second in
# the title menu and in play, and one render of the game's heaviest played frame. Builds the
# page (build-web/), its frame benchmark (build-web-bench/) and the desktop benchmark
# (build-bench/, needs SDL2). Usage: scripts/web-figures.sh
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh emscripten chromium chromium-driver python3-selenium libsdl2-dev
scripts/build-web.sh
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B build-web-bench -DCMAKE_BUILD_TYPE=Release -DVEXADROME_BENCH=ON >/dev/null
cmake --build build-web-bench -j"$(nproc)" --target bench_web_frame
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVEXADROME_BENCH=ON -DVEXADROME_TESTS=OFF >/dev/null
cmake --build build-bench -j"$(nproc)" --target bench_game_frame

/usr/bin/python3 scripts/web_figures.py "$PWD"
desktop=$(ALSOFT_DRIVERS=null xvfb-run -a -s "-screen 0 1366x768x24" build-bench/bench/bench_game_frame 3 200 |
  grep '^game_frame_played')
echo "desktop build, same frame: ${desktop}"

#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer, and
# runs every test under a virtual X display; the web page is built too and tested in a headless
# browser (the test WebPage). Extra arguments go to ctest (e.g. -R Input).
set -euo pipefail
cd "$(dirname "$0")"

# Besides the desktop's packages: emscripten for the web page, the browser its tests drive.
scripts/install-deps.sh emscripten chromium chromium-driver python3-selenium
scripts/build-web.sh

build=build-test
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DVEXADROME_SANITIZE=ON -DVEXADROME_TESTS=ON \
  -DVEXADROME_WEB_SITE="$PWD/build-web" >/dev/null
cmake --build "$build" -j"$(nproc)"

# Leak checking is off: the GL and sound drivers keep allocations until exit by design.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ALSOFT_DRIVERS=null
xvfb-run -a -s "-screen 0 1366x768x24" \
  ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "$@"

#!/bin/sh
# Builds Parvela with its tests and runs every test (SQLite and a throw-away PostgreSQL
# server, the plug-in library and the model programs, the Qt windows offscreen).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PARVELA_BUILD_DIR:-$root/build}
jobs=${PARVELA_JOBS:-$(nproc)}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$jobs"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs" --timeout 600

#!/usr/bin/env bash
# Draws every picture under docs/ from the real windows on Qt's offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${SHOTS_BUILD_DIR:-build-shots}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESSAFLEX_TESTS=OFF -DTESSAFLEX_BENCH=OFF -DTESSAFLEX_TOOLS=ON
cmake --build "$build" -j"$(nproc)" --target tessaflex_screenshots
mkdir -p docs
QT_QPA_PLATFORM=offscreen "$build/tools/screenshots/tessaflex_screenshots" docs devices/korvadevices.txt

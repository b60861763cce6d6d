#!/usr/bin/env bash
# Installs what running needs when it is missing, builds Tessaflex and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTESSAFLEX_TESTS=OFF -DTESSAFLEX_BENCH=OFF
cmake --build build -j"$(nproc)" --target tessaflex
exec build/tessaflex "$@"

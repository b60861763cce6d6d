#!/usr/bin/env bash
# Fuzzes the device list reader and model selection (fuzz/device_list_fuzz.cpp) for
# FUZZ_SECONDS (default 60), seeded with the shipped list and the device list fixtures.
# See scripts/fuzz-target.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
exec scripts/fuzz-target.sh device_list_fuzz fuzz/device_list.dict devices/korvadevices.txt \
  tests/fixtures/device_lists/*.txt

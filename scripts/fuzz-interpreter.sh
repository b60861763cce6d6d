#!/usr/bin/env bash
# Fuzzes the interpreter and the chip operation runs on the virtual programmer
# (fuzz/interpreter_fuzz.cpp) for FUZZ_SECONDS (default 60). Seeds: every model of the
# shipped list and of the device list fixtures, each behind the eight setting bytes the
# target reads first (that model, 128 bytes of FLASH, 72 of EEPROM, some of both loaded,
# no fault, all five runs). See scripts/fuzz-target.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
seeds="$(mktemp -d)"
trap 'rm -rf "$seeds"' EXIT
for list in devices/korvadevices.txt tests/fixtures/device_lists/*.txt; do
  models=$(grep -ci '^model:' "$list" || true)
  for ((m = 0; m < models; m++)); do
    {
      printf "\\x$(printf %02x "$m")\\x00\\x01\\x28\\x00\\x00\\x00\\x80"
      grep -v '^;' "$list" || true
    } >"$seeds/$(basename "$list" .txt)-$m"
  done
done
scripts/fuzz-target.sh interpreter_fuzz fuzz/interpreter.dict "$seeds"/*

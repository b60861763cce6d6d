#!/usr/bin/env bash
# Fuzzes the HEX reader and writer (fuzz/hexfile_fuzz.cpp) for FUZZ_SECONDS (default 60),
# seeded with the HEX fixtures. See scripts/fuzz-target.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
exec scripts/fuzz-target.sh hexfile_fuzz fuzz/hexfile.dict tests/fixtures/hex/*.hex

#!/usr/bin/env bash
# Builds the HEX reader's libFuzzer target with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs it for a bounded time (FUZZ_SECONDS, default 60)
# with the HEX fixtures as seed corpus. Exits non-zero on a crash, a leak, an
# out-of-bounds access, undefined behaviour or a broken round trip.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-60}"
build="${FUZZ_BUILD_DIR:-build-fuzz}"

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSAFLEX_FUZZ=ON -DTESSAFLEX_SANITIZE=ON -DTESSAFLEX_TESTS=OFF -DTESSAFLEX_BENCH=OFF
cmake --build "$build" -j"$(nproc)" --target hexfile_fuzz

# The fuzzer adds what it finds to the corpus folder: work on a copy, never the fixtures.
corpus="$(mktemp -d)"
trap 'rm -rf "$corpus"' EXIT
cp tests/fixtures/hex/*.hex "$corpus"/

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
"$build/fuzz/hexfile_fuzz" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
  -dict=fuzz/hexfile.dict -artifact_prefix="$build/" -print_final_stats=1
echo "fuzz-hex: no failure in ${seconds} s"

#!/usr/bin/env bash
# Builds one libFuzzer target of fuzz/ with clang, AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs it for a bounded time (FUZZ_SECONDS, default 60) from a copy of the seed files.
# Usage: scripts/fuzz-target.sh TARGET DICTIONARY SEED_FILE...
# Exits non-zero on a crash, a leak, an out-of-bounds access, undefined behaviour, a broken
# invariant or an input that runs longer than 10 s.
set -euo pipefail
cd "$(dirname "$0")/.."
target="$1"
dictionary="$2"
shift 2
seconds="${FUZZ_SECONDS:-60}"
build="${FUZZ_BUILD_DIR:-build-fuzz}"

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSAFLEX_FUZZ=ON -DTESSAFLEX_SANITIZE=ON -DTESSAFLEX_TESTS=OFF -DTESSAFLEX_BENCH=OFF
cmake --build "$build" -j"$(nproc)" --target "$target"

# The fuzzer adds what it finds to the corpus folder: work on a copy, never the seeds.
corpus="$(mktemp -d)"
trap 'rm -rf "$corpus"' EXIT
cp -- "$@" "$corpus"/

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
"$build/fuzz/$target" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
  -dict="$dictionary" -artifact_prefix="$build/$target-" -print_final_stats=1
echo "$target: no failure in ${seconds} s"

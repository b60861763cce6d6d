#!/usr/bin/env bash
# Installs what testing needs when it is missing, builds everything with AddressSanitizer
# and UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
# The sanitizers split their options at blanks, commas and colons unless a value is
# quoted, and the suppression file's path may hold any of them.
suppressions="$PWD/tests/lsan.supp"
quote="'"
[[ "$suppressions" == *"'"* ]] && quote='"'
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=${quote}${suppressions}${quote}:print_suppressions=0"
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DTESSAFLEX_SANITIZE=ON -DTESSAFLEX_BENCH=ON
cmake --build build-test -j"$(nproc)"
ctest --test-dir build-test --output-on-failure -j"$(nproc)"

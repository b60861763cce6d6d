#!/bin/sh
# Counts the non-blank lines of C++ (.cpp, .h) in src/, sim/ and tests/ (tests/fixtures left out,
# being the sources of test inputs) and prints the ratio of tests to code, src/ plus sim/.
# Usage: scripts/count-lines.sh [checkout]   (default: the checkout this script is in)
set -eu
root=${1:-"$(dirname "$0")/.."}

count() {
  if [ ! -d "$root/$1" ]; then
    echo 0
    return
  fi
  find "$root/$1" -path "$root/tests/fixtures" -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) \
    -exec cat {} + | grep -cv '^[[:space:]]*$' || true
}

src=$(count src)
sim=$(count sim)
tests=$(count tests)
echo "src $src"
echo "sim $sim"
echo "tests $tests"
awk -v t="$tests" -v s="$src" -v m="$sim" 'BEGIN { printf "ratio tests / (src + sim) = %.3f\n", t / (s + m) }'

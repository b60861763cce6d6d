#!/usr/bin/env bash
# Installs the Debian packages that running Tessaflex ("run") or also testing it ("test")
# needs, when some are missing. Calls nothing at all when every package is there.
set -euo pipefail

run_packages=(
  cmake g++ make pkg-config
  qt6-base-dev libgl-dev qt6-wayland
  libhidapi-dev
  fonts-liberation2
)
test_packages=(
  "${run_packages[@]}"
  libgtest-dev libgmock-dev libbenchmark-dev
  gputils srecord python3 python3-intelhex
  clang libclang-rt-14-dev
  xvfb xauth xdotool weston
)

case "${1:-}" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${test_packages[@]}") ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root_line="apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "Tessaflex needs these Debian packages: ${missing[*]}. There is no sudo here; as root, run: $as_root_line" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
# sudo resets the environment, so the variable travels on env's command line instead.
if ! "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq ||
  ! "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"; then
  echo "Installing ${missing[*]} failed; as root, run: $as_root_line" >&2
  exit 1
fi

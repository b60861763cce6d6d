#!/usr/bin/env bash
# The real program on a screen smaller than its window (1024x768 at scale factor 2, so 512x384 logical
# pixels): the window's top-left corner, where its title bar and menus are, stays on the screen.
# Usage: small_screen_test.sh PROGRAM
set -euo pipefail
world="$(mktemp -d)"
trap 'rm -rf "$world"' EXIT
mkdir -m 700 "$world/runtime"
export XDG_RUNTIME_DIR="$world/runtime" XDG_CONFIG_HOME="$world/config" QT_SCALE_FACTOR=2
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
# libxkbcommon's string reads stay inside their strings but fail the sanitizer's strict string checks.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:strict_string_checks=0"
# shellcheck disable=SC2016  # expanded by the inner shell
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$1" 2>/dev/null &
  window="$(timeout 60 xdotool search --sync --onlyvisible --name "^Tessaflex\$" | head -n 1)"
  eval "$(xdotool getwindowgeometry --shell "$window")"
  kill "$!"
  echo "window at $X,$Y, $WIDTH x $HEIGHT on 1024 x 768"
  [ "$X" -ge 0 ] && [ "$Y" -ge 0 ] && [ "$HEIGHT" -gt 768 ]' _ "$1"

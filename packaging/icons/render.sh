#!/usr/bin/env bash
# Draws the PNG sizes of the icon from tessaflex.svg. Run after changing the SVG, and
# commit the PNGs: the build installs them as they are and needs no SVG renderer.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" tessaflex.svg --output "tessaflex-$size.png"
done

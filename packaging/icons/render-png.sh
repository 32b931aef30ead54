#!/usr/bin/env bash
# Renders the icon's PNG sizes from the SVG, after a change of the SVG. The
# PNGs are kept in the repository, so that a build needs no SVG renderer;
# this needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
  mkdir -p "$size"
  rsvg-convert -w "$size" -h "$size" org.lazrine.lazrine.svg -o "$size/org.lazrine.lazrine.png"
done

#!/usr/bin/env bash
# Whole-process comparison of `pixvel-tool render` with ImageMagick and libvips
# on a 24-megapixel JPEG at quality 95. Needs hyperfine, imagemagick and
# libvips-tools (apt-get install hyperfine imagemagick libvips-tools).
# Usage: bench/compare_render.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
tool=$(realpath "$build/tools/pixvel-tool")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
/usr/bin/convert -size 6000x4000 plasma:fractal -blur 0x1 -quality 92 photo.jpg
hyperfine -w 1 -r 7 \
  "$tool render photo.jpg out-pixvel.jpg" \
  "/usr/bin/convert photo.jpg -quality 95 out-convert.jpg" \
  "vips copy photo.jpg out-vips.jpg[Q=95]"

#!/usr/bin/env bash
# Makes photo.jpg in the current folder: the bundled sample enlarged to
# 6000 × 4000 with camera-like noise, quality 92, as the whole-process
# comparisons use it. Needs libvips-tools. Usage: make-photo.sh
set -euo pipefail
sample=$(realpath "$(dirname "$0")/../samples/sample.jpg")
vips resize "$sample" up.v 7.5 --vscale 6.6667 --kernel cubic
vips gaussnoise noise.v 6000 4000 --sigma 5 --mean 0
vips add up.v noise.v sum.v
vips cast sum.v noisy.v uchar
vips copy noisy.v "photo.jpg[Q=92]"
rm -f ./*.v

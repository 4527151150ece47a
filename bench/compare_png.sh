#!/usr/bin/env bash
# Whole-process comparison of saving a 24-megapixel photo as PNG:
# `pixvel-tool render photo.jpg out.png` (decode, render, save as the editor
# saves) against `vips copy photo.jpg out.png`, in one hyperfine run, every
# file on tmpfs. The photo is made from the bundled sample: enlarged to
# 6000 × 4000 with camera-like noise. Needs hyperfine and libvips-tools.
# Usage: bench/compare_png.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
tool=$(realpath "$build/tools/pixvel-tool")
sample=$(realpath "$(dirname "$0")/../samples/sample.jpg")
work=$(mktemp -d /dev/shm/pixvel-png.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"
vips resize "$sample" up.v 7.5 --vscale 6.6667 --kernel cubic
vips gaussnoise noise.v 6000 4000 --sigma 5 --mean 0
vips add up.v noise.v sum.v
vips cast sum.v noisy.v uchar
vips copy noisy.v "photo.jpg[Q=92]"
rm -f ./*.v
hyperfine -w 1 -r "${BENCH_RUNS:-5}" \
  "$tool render photo.jpg out-pixvel.png" \
  "vips copy photo.jpg out-vips.png"
pixvel=$(stat -c %s out-pixvel.png)
vips=$(stat -c %s out-vips.png)
echo "size: pixvel-tool $pixvel bytes, vips $vips bytes, ratio $(echo "scale=3; $pixvel / $vips" | bc)"

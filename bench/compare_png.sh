#!/usr/bin/env bash
# Whole-process comparison of saving a 24-megapixel photo as PNG:
# `pixvel-tool render photo.jpg out.png` (decode, render, save as the editor
# saves) against `vips copy photo.jpg out.png`, in one hyperfine run, every
# file on tmpfs. The photo is made from the bundled sample: enlarged to
# 6000 × 4000 with camera-like noise. Needs hyperfine and libvips-tools.
# Usage: bench/compare_png.sh [BUILD_DIR]
set -euo pipefail
here=$(realpath "$(dirname "$0")")
build=${1:-build}
tool=$(realpath "$build/tools/pixvel-tool")
work=$(mktemp -d /dev/shm/pixvel-png.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$here/make-photo.sh"
hyperfine -w 1 -r "${BENCH_RUNS:-5}" \
  "$tool render photo.jpg out-pixvel.png" \
  "vips copy photo.jpg out-vips.png"
pixvel=$(stat -c %s out-pixvel.png)
vips=$(stat -c %s out-vips.png)
echo "size: pixvel-tool $pixvel bytes, vips $vips bytes, ratio $(echo "scale=3; $pixvel / $vips" | bc)"

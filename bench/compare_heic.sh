#!/usr/bin/env bash
# Opening a 12-megapixel HEIC photo: in-process (bench_heic_open), then whole
# processes in one hyperfine run, every file on tmpfs: `pixvel-tool render`
# of the photo against `heif-convert` of the same file, both writing JPEG at
# quality 95 and both writing PNG. The photo is the bundled sample enlarged
# to 4000 × 3000 with camera-like noise, encoded by heif-enc at quality 80.
# Needs hyperfine, libvips-tools and libheif-examples.
# Usage: bench/compare_heic.sh [BUILD_DIR]
set -euo pipefail
here=$(realpath "$(dirname "$0")")
build=$(realpath "${1:-build}")
tool="$build/tools/pixvel-tool"
work=$(mktemp -d /dev/shm/pixvel-heic.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"
vips resize "$here/../samples/sample.jpg" up.v 5
vips gaussnoise noise.v 4000 3000 --sigma 5 --mean 0
vips add up.v noise.v sum.v
vips cast sum.v noisy.v uchar
vips copy noisy.v photo.png
heif-enc -q 80 -o photo.heic photo.png >/dev/null
rm -f ./*.v photo.png
"$build/bench/bench_heic_open" photo.heic
hyperfine -w 1 -r "${BENCH_RUNS:-5}" \
  "$tool render photo.heic out-pixvel.jpg" \
  "heif-convert --quiet -q 95 photo.heic out-heif.jpg" \
  "$tool render photo.heic out-pixvel.png" \
  "heif-convert --quiet photo.heic out-heif.png"

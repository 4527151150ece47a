#!/usr/bin/env bash
# Saving and opening a project of a 24-megapixel photo with 20 stickers
# (bench_project), and in the same run the whole-process comparison of
# `pixvel-tool render photo.jpg out.pixvel` with 20 stickers (decode, then
# save the project) against `vips copy photo.jpg out.png`. Every file on
# tmpfs; the photo is made as in compare_png.sh. Needs hyperfine and
# libvips-tools. Usage: bench/compare_project.sh [BUILD_DIR]
set -euo pipefail
here=$(realpath "$(dirname "$0")")
build=${1:-build}
tool=$(realpath "$build/tools/pixvel-tool")
bench=$(realpath "$build/bench/bench_project")
sample=$here/../samples/sample.jpg
work=$(mktemp -d /dev/shm/pixvel-project.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$here/make-photo.sh"
vips resize "$sample" sticker.png 0.3
"$bench" photo.jpg
stickers=()
for i in $(seq 0 19); do
  stickers+=(--item "sticker.png@$((300 * i + 150)),$((180 * i + 150))" --rotate "$((17 * i))")
done
hyperfine -w 1 -r "${BENCH_RUNS:-5}" \
  "$tool render photo.jpg out.pixvel ${stickers[*]}" \
  "vips copy photo.jpg out-vips.png"

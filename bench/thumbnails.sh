#!/usr/bin/env bash
# Whole processes, one run: `pixvel-tool thumbnails FOLDER` against Pillow
# making the same thumbnails in 2 processes, on a folder of 700 PNG stickers
# (256x256, transparent) and 300 JPEG photos (1600x1200) in /dev/shm. Then
# the tool's peak memory. Needs bench/setup (hyperfine, python3-pil).
# Usage: bench/thumbnails.sh [BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../build}"
tool="$build/tools/pixvel-tool"
folder="${BENCH_DIR:-/dev/shm/pixvel-thumbnails}"
runs="${BENCH_RUNS:-10}"

if [ "$(ls "$folder" 2>/dev/null | wc -l)" -ne 1000 ]; then
  rm -rf "$folder"
  /usr/bin/python3 "$here/make-thumbnail-folder.py" "$folder"
fi
"$tool" thumbnails "$folder" > /dev/null # warm the file cache and the plugins

hyperfine --warmup 2 --runs "$runs" -N \
  --command-name "pixvel-tool thumbnails" "$tool thumbnails $folder" \
  --command-name "Pillow, 2 processes" \
  "bash -c '/usr/bin/python3 $here/pillow-thumbnails.py $folder 0 2 >/dev/null & /usr/bin/python3 $here/pillow-thumbnails.py $folder 1 2 >/dev/null; wait'"

/usr/bin/time -v "$tool" thumbnails "$folder" 2>&1 >/dev/null |
  grep -E 'Maximum resident|Elapsed'

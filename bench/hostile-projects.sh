#!/usr/bin/env bash
# Opening each hostile project of make-hostile-projects.py (the large ones:
# real gigabytes of deflated zeros where the small ones only declare them),
# one process per file, in /dev/shm: the result, the reader's wall time,
# and the whole process's wall time and peak memory. Usage: bench/hostile-projects.sh [BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../build}"
folder="${BENCH_DIR:-/dev/shm/pixvel-hostile}"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

if [ ! -f "$folder/one-long-text.pixvel" ]; then
  /usr/bin/python3 "$here/make-hostile-projects.py" "$folder" --large
fi
for project in "$folder"/*.pixvel; do
  printf '%-24s %8s  ' "$(basename "$project")" "$(du -h "$project" | cut -f1)"
  /usr/bin/time -f '%M %e' -o /dev/shm/pixvel-hostile-rss \
    "$build/bench/bench_open_project" "$project" 2>/dev/null | tr -d '\n'
  read -r peak seconds < /dev/shm/pixvel-hostile-rss
  printf '  process %s s, peak %d MiB\n' "$seconds" $((peak / 1024))
done
rm -f /dev/shm/pixvel-hostile-rss

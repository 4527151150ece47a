#!/usr/bin/env bash
# Whole processes, with hyperfine: a running PixvelDownloader handed one
# package by `pixvel-tool send`, timed until the last file is unpacked and
# the package deleted, against `curl -o` followed by `bsdtar -xf`. Both
# fetch small.zip (bench/make-packages.py) from bench_http_serve and write
# below /dev/shm. Needs a Release build in build/ and hyperfine, curl and
# libarchive-tools. The in-process bench_downloader measures the same path
# more finely and also the window thread's frames.
set -euo pipefail
cd "$(dirname "$0")/.."

build=$PWD/build
work=/dev/shm/pixvel-bench-downloader-sh
packages=${BENCH_DIR:-/dev/shm/pixvel-bench}
runs=${BENCH_RUNS:-8}
bench/make-packages.py "$packages"
package=$packages/small.zip
rm -rf "$work"
mkdir -p "$work/runtime" "$work/apps/items" "$work/reference"
export XDG_RUNTIME_DIR=$work/runtime PIXVEL_REGISTRY_DIR=$work/registry QT_QPA_PLATFORM=offscreen
"$build/tools/pixvel-tool" reg add 'HKCU\Software\Pixvel' APPS_PATH "$work/apps"
"$build/tools/pixvel-tool" reg add 'HKCU\Software\Pixvel' DOWNLOAD_FOLDER items

"$build/bench/bench_http_serve" "$package" >"$work/url.txt" &
server=$!
"$build/downloader/PixvelDownloader" 'Software\Pixvel' 2>/dev/null &
downloader=$!
trap 'kill $server $downloader; rm -rf "$work"' EXIT
sleep 1
url=$(cat "$work/url.txt")
size=$(stat -c %s "$package")
last=$(bsdtar -tf "$package" | tail -n 1)

# Sends the request, then waits until the package's last entry is there and
# the package itself is gone. The wait reads a FIFO nobody writes to, with
# a time-out: a pause that starts no process (sleep would start hundreds).
mkfifo "$work/never"
cat >"$work/send-and-wait" <<SCRIPT
#!/usr/bin/env bash
exec 3<>"$work/never"
"$build/tools/pixvel-tool" send PixvelDownloader $size "bench||$url||p.zip" >/dev/null
while [ ! -e "$work/apps/items/$last" ] || [ -e "$work/apps/items/p.zip" ]; do
  read -r -t 0.002 -u 3 || true
done
SCRIPT
chmod +x "$work/send-and-wait"

hyperfine -w 1 -r "$runs" \
  --prepare "rm -rf $work/apps/items $work/reference; mkdir -p $work/apps/items $work/reference" \
  -n downloader "$work/send-and-wait" \
  -n 'curl + bsdtar' "curl -s -o $work/reference/p.zip $url && bsdtar -xf $work/reference/p.zip -C $work/reference"

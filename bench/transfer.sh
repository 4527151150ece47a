#!/usr/bin/env bash
# Whole-process comparisons of the transfer code, in one run, every output
# on tmpfs on both sides, the two commands alternating:
#   pixvel-tool unpack against bsdtar -xf on two packages
#   pixvel-tool fetch against curl -o for a 1 GiB file from a local
#   python3 -m http.server on 127.0.0.1
# Needs a Release build in build/ and: apt-get install -y hyperfine
# libarchive-tools curl. Files go to ${BENCH_DIR:-/dev/shm/pixvel-bench}
# (tmpfs; about 3 GB). BENCH_ROUNDS rounds (10) of one run per command each.
set -euo pipefail
cd "$(dirname "$0")/.."

tool=$PWD/build/tools/pixvel-tool
compare=$PWD/bench/compare.py
work=${BENCH_DIR:-/dev/shm/pixvel-bench}
rounds=${BENCH_ROUNDS:-10}
mkdir -p "$work"
bench/make-packages.py "$work"
[ -f "$work/big.bin" ] || head -c 1073741824 /dev/urandom >"$work/big.bin"
cd "$work"

for package in small.zip large.zip; do
  echo "== unpack $package ($(du -h "$package" | cut -f1))"
  "$compare" "$rounds" 'rm -rf out-a out-b; mkdir out-a out-b' \
    "$tool unpack $package --into out-a >/dev/null" \
    "bsdtar -xf $package -C out-b"
  # The last round removed one side's files: unpack once more to compare.
  rm -rf out-a out-b && mkdir out-a out-b
  "$tool" unpack "$package" --into out-a >/dev/null && bsdtar -xf "$package" -C out-b
  diff -r out-a out-b >/dev/null && echo "  same files" || echo "  FILES DIFFER"
done
rm -rf out-a out-b

echo "== fetch 1 GiB from python3 -m http.server on 127.0.0.1"
port=$((20000 + RANDOM % 20000))
python3 -m http.server --bind 127.0.0.1 "$port" --directory "$work" >/dev/null 2>&1 &
server=$!
trap 'kill $server' EXIT
sleep 1
url=http://127.0.0.1:$port/big.bin
"$compare" "$rounds" 'rm -f fetched-a.bin fetched-b.bin' \
  "$tool fetch $url fetched-a.bin 2>/dev/null" \
  "curl -s -o fetched-b.bin $url"
"$tool" fetch "$url" fetched-a.bin 2>/dev/null && curl -s -o fetched-b.bin "$url"
cmp fetched-a.bin big.bin && cmp fetched-b.bin big.bin && echo "  same bytes"
rm -f fetched-a.bin fetched-b.bin

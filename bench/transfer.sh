#!/usr/bin/env bash
# Whole-process comparisons of the transfer code, in one run:
#   pixvel-tool unpack against bsdtar -xf and unzip on two packages
#   pixvel-tool fetch against curl -o for a 1 GB file from one local server
# Needs a Release build in build/ and: apt-get install -y hyperfine
# libarchive-tools unzip curl. Files go to ${BENCH_DIR:-/tmp/pixvel-bench}.
set -euo pipefail
cd "$(dirname "$0")/.."

tool=$PWD/build/tools/pixvel-tool
serve=$PWD/build/bench/bench_http_serve
work=${BENCH_DIR:-/tmp/pixvel-bench}
runs=${BENCH_RUNS:-8}
mkdir -p "$work"
bench/make-packages.py "$work"
[ -f "$work/big.bin" ] || head -c 1073741824 /dev/urandom >"$work/big.bin"
cd "$work"

for package in small.zip large.zip; do
  echo "== unpack $package ($(du -h "$package" | cut -f1))"
  mkdir -p out-pixvel out-bsdtar out-unzip
  hyperfine -w 1 -r "$runs" \
    --prepare 'rm -rf out-pixvel out-bsdtar out-unzip; mkdir out-pixvel out-bsdtar out-unzip; sync' \
    "$tool unpack $package --into out-pixvel" \
    "bsdtar -xf $package -C out-bsdtar" \
    "unzip -qo $package -d out-unzip"
done
rm -rf out-pixvel out-bsdtar out-unzip

echo "== fetch 1 GB from 127.0.0.1"
"$serve" "$work/big.bin" >url.txt &
server=$!
trap 'kill $server' EXIT
sleep 0.5
url=$(cat url.txt)
hyperfine -w 1 -r "$runs" --prepare 'rm -f fetched-pixvel.bin fetched-curl.bin; sync' \
  "$tool fetch $url fetched-pixvel.bin" \
  "curl -s -o fetched-curl.bin $url"
cmp fetched-curl.bin big.bin
rm -f fetched-pixvel.bin fetched-curl.bin

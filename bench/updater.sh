#!/usr/bin/env bash
# The updater's "no update" run, start to exit, with the information file on
# a local server (the editor starts the updater on every start). Needs a
# Release build in build/ and hyperfine.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'kill $server; rm -rf "$work"' EXIT
printf 'VERSION:1.0\nUPDATE_DATE:2024-05-06\nUPDATE_URL:http://127.0.0.1:1\nUPDATE_PATH:a\n' \
  >"$work/info.txt"
build/bench/bench_http_serve "$work/info.txt" >"$work/url.txt" &
server=$!
sleep 0.3
export PIXVEL_REGISTRY_DIR=$work/registry QT_QPA_PLATFORM=offscreen
hyperfine -N -w 3 -r "${BENCH_RUNS:-30}" \
  "$PWD/build/updater/PixvelUpdate $work/install Pixvel $(cat "$work/url.txt") 1.0"

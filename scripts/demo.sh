#!/usr/bin/env bash
# Installs what is missing, builds, writes the demo game into demo/ and starts the script editor
# there on the demo ROM and its block data file, with string 0 of the first block on screen.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir" -j"$(nproc)"
mkdir -p demo
"$build_dir"/tools/corvtool make-demo demo
cd demo
exec "../$build_dir/editor/CorvaneText" corvane.smc corvane.txt

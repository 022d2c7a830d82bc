#!/usr/bin/env bash
# Installs what is missing, builds, writes the demo game into demo/ and starts the program there.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir" -j"$(nproc)"
mkdir -p demo
"$build_dir"/tools/corvtool make-demo demo
cd demo
if [ -x "../$build_dir/editor/CorvaneText" ]; then
  exec "../$build_dir/editor/CorvaneText"
fi
echo "The script editor is not built yet; starting the compression utility CorvComp in $(pwd)."
echo "Open corvane.smc with File > Open ROM File."
exec "../$build_dir/comp/CorvComp"

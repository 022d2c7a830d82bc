#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORV_WERROR=ON
cmake --build "$build_dir" -j"$(nproc)"
cd "$build_dir"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"

#!/usr/bin/env bash
# Builds the Debian package corvane-tools_VERSION_ARCH.deb from scratch in build-package/ and
# prints its path; install it with  apt-get install ./build-package/corvane-tools_*.deb
# Its Depends are worked out by dpkg-shlibdeps (hence dpkg-dev and file) from the programs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh dpkg-dev file
dir=build-package
rm -rf "$dir"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORV_BENCHMARKS=OFF
cmake --build "$dir" -j"$(nproc)" --target CorvaneText CorvComp corvtool
(cd "$dir" && cpack -G DEB)
ls "$dir"/corvane-tools_*.deb

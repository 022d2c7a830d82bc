#!/usr/bin/env bash
# The browser edition: installs what is missing (Debian's emscripten and the acorn its optimiser
# loads, CMake, Ninja, the toml++ headers) and builds the libraries, the editor's rules and their
# binding to WebAssembly in build-web/ (WEB_BUILD_DIR), with warnings as errors.
#
#   scripts/web.sh                   builds, writes the static folder into build-web/site and serves
#                                    it on localhost (WEB_PORT, default 8033) until Ctrl+C
#   scripts/web.sh --build-only DIR  builds and writes the static folder into DIR; serves nothing
#   scripts/web.sh --test            also installs Chromium, builds and runs the binding's tests under
#                                    Node and the page's test in headless Chromium (CTest), with the
#                                    native build's corvtool (CORVTOOL, else build/tools/corvtool)
#                                    as their oracle; scripts/test.sh runs this after the native suite
#
# The static folder holds the page (index.html, its style and modules) and corvane.js and
# corvane.wasm, the module it loads, all by relative paths: any static web host can serve it.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
  echo "usage: scripts/web.sh [--build-only DIR | --test]" >&2
  exit 3
}

mode=build
site_dir=
case "${1:-}" in
  "") ;;
  --build-only)
    [ $# -eq 2 ] || usage
    mode=build-only
    site_dir=$2
    ;;
  --test)
    [ $# -eq 1 ] || usage
    mode=test
    ;;
  *) usage ;;
esac

packages=(emscripten node-acorn cmake ninja-build libtomlplusplus-dev)
# The browser is needed only by the page's test.
[ "$mode" = test ] && packages+=(chromium)
bash scripts/install-deps.sh --only "${packages[@]}"
# Emscripten's optimiser runs under Node and finds Debian's acorn only there.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
build_dir=${WEB_BUILD_DIR:-build-web}

configure_options=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DCORV_WERROR=ON)
if [ "$mode" = test ]; then
  corvtool=${CORVTOOL:-${BUILD_DIR:-build}/tools/corvtool}
  if [ ! -x "$corvtool" ]; then
    echo "scripts/web.sh: the tests compare with the native corvtool, and $corvtool is not there;" \
         "build the native programs first (scripts/test.sh does) or name it in CORVTOOL" >&2
    exit 2
  fi
  configure_options+=(-DCORV_CORVTOOL="$(realpath "$corvtool")")
fi
emcmake cmake -S . -B "$build_dir" "${configure_options[@]}"
cmake --build "$build_dir" -j"$(nproc)"

case "$mode" in
  test)
    (cd "$build_dir" && ctest --output-on-failure -j"$(nproc)")
    cat "$build_dir/tests/web/page_in_chromium_work/figures.txt"
    ;;
  build-only)
    cmake --install "$build_dir" --prefix "$site_dir"
    echo "The static folder is in $site_dir"
    ;;
  build)
    site_dir=$build_dir/site
    # A fresh folder: nothing left over from an older page is served.
    rm -rf "$site_dir"
    cmake --install "$build_dir" --prefix "$site_dir"
    port=${WEB_PORT:-8033}
    echo "The static folder is in $site_dir"
    echo "The editor is at http://127.0.0.1:$port/ (Ctrl+C stops serving it)"
    exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site_dir"
    ;;
esac

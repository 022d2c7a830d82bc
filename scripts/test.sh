#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through CTest; builds the
# browser edition's WebAssembly and runs its tests under Node against the corvtool just built
# (scripts/web.sh --test; WEB=0 leaves it out); then builds again with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the whole suite once more (the fuzz corpus and regressions
# included). SANITIZE=0 leaves that pass out.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)

run_suite() {  # build directory, extra CMake options...
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORV_WERROR=ON "$@"
  cmake --build "$dir" -j"$jobs"
  (cd "$dir" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")
}

run_suite "${BUILD_DIR:-build}"
if [ "${WEB:-1}" != 0 ]; then
  CORVTOOL="${BUILD_DIR:-build}/tools/corvtool" bash scripts/web.sh --test
fi
if [ "${SANITIZE:-1}" != 0 ]; then
  # Timings under the sanitizers mean nothing, so that pass builds no benchmarks. Its warnings are
  # not errors: the first pass holds the code to them, and the instrumentation makes GCC report
  # false ones inside the standard library (stringop-overflow, maybe-uninitialized). It compiles
  # with -O1 and line tables only (-g1): the sanitizers' reports keep their file and line, and the
  # pass builds in half the time, which keeps the whole run within CI's time.
  UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp" run_suite "${SANITIZE_BUILD_DIR:-build-sanitize}" -DCORV_SANITIZE=ON \
    -DCORV_BENCHMARKS=OFF -DCORV_WERROR=OFF -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
fi

#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ with clang and runs each in turn for SECONDS (default
# 60; 0 for no time limit), starting from the seed corpus made from the demo game, the
# regressions and what earlier runs found. With FUZZ_RUNS set, a harness also stops after that
# many executions. Prints executions, coverage and findings per harness; exits 1 when anything
# was found. Two runs on different harnesses may share the build folder.
# Usage: [FUZZ_RUNS=N] scripts/fuzz.sh [SECONDS] [HARNESS...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true

bash scripts/install-deps.sh
# Only fuzzing needs clang and its libFuzzer runtime; the normal build does not.
if ! command -v clang++ >/dev/null || ! echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' |
     clang++ -x c++ -fsanitize=fuzzer - -o /dev/null 2>/dev/null; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends clang
fi

build_dir=${FUZZ_BUILD_DIR:-build-fuzz}
mkdir -p "$build_dir"
(
  flock 9
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DCORV_FUZZ=ON >/dev/null
  cmake --build "$build_dir" --target fuzzers
  "$build_dir/fuzz/fuzz_seed_corpus" "$build_dir/fuzz/corpus"
) 9>"$build_dir/.fuzz-build.lock"
work="$build_dir/fuzz"
runs=${FUZZ_RUNS:--1}
# The leaks GNU gettext's library keeps after po_file_free are not findings (as in scripts/test.sh).
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

# Harnesses and their longest inputs, from the one list that CMake reads too.
declare -A max_len=()
all_harnesses=()
while read -r name length; do
  case "$name" in ''|'#'*) continue ;; esac
  max_len[$name]=$length
  all_harnesses+=("$name")
done < fuzz/harnesses.txt
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=("${all_harnesses[@]}")
for h in "${harnesses[@]}"; do
  [ -n "${max_len[$h]:-}" ] || { echo "fuzz.sh: no harness named $h (see fuzz/harnesses.txt)" >&2; exit 2; }
done

found_any=0
printf '%-16s %12s %8s %8s %9s\n' harness executions cov ft findings
for h in "${harnesses[@]}"; do
  mkdir -p "$work/grown/$h" "$work/findings/$h"
  inputs=("$work/grown/$h" "$work/corpus/$h")
  [ -d "fuzz/regressions/$h" ] && inputs+=("fuzz/regressions/$h")
  # Slow units are not findings: on a shared machine one input may wait seconds for the CPU.
  before=$(find "$work/findings/$h" -type f ! -name 'slow-unit-*' | wc -l)
  log="$work/findings/$h.log"
  set +e
  # A few inputs (runaway dictionaries, long strings drawn glyph by glyph) take tens of
  # milliseconds each; mutating them as often as the rest spent most of a run on them.
  "$work/fuzz_$h" -entropic_scale_per_exec_time=1 -max_total_time="$seconds" -runs="$runs" -max_len="${max_len[$h]}" -timeout=25 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/findings/$h/" "${inputs[@]}" >"$log" 2>&1
  set -e
  after=$(find "$work/findings/$h" -type f ! -name 'slow-unit-*' | wc -l)
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  coverage=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1 || true)
  cov=$(echo "$coverage" | awk '{print $2}')
  ft=$(echo "$coverage" | awk '{print $4}')
  findings=$((after - before))
  [ "$findings" -eq 0 ] || found_any=1
  printf '%-16s %12s %8s %8s %9s\n' "$h" "${executions:-?}" "${cov:-?}" "${ft:-?}" "$findings"
done
[ "$found_any" -eq 0 ] || { echo "Findings are in $work/findings/ (logs beside them)."; exit 1; }

#!/usr/bin/env bash
# BPS patches checked against independent_bps.py, an applier and a creator written from the
# format's description alone, in both directions, with the real corvtool:
#   - the BPS the demo project's build writes (and its release's copy), applied by it: the built ROM;
#   - make-bps of the demo project's original and built ROM, applied by it: the built ROM;
#   - its patches of that pair (and of the headered pair) applied by corvtool patch: the same;
#   - random pairs: make-bps applied by it, and its patches of ROMs changed in free room and
#     grown applied by corvtool patch, between them using all four actions.
# Usage: independent_bps_test.sh CORVTOOL WORK_DIR. Exit 77 (skipped) without python3.
set -euo pipefail
tool=$1
work=$2
helper="$(cd "$(dirname "$0")" && pwd)/independent_bps.py"
command -v python3 >/dev/null || { echo "python3 is not installed"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }
py() { python3 "$helper" "$@"; }

rm -rf "$work"
mkdir -p "$work"
cd "$work"
"$tool" make-demo demo --blocks 7 >/dev/null
"$tool" build demo >/dev/null
original=demo/corvane.smc
built=demo/build/corvane-translated.smc

"$tool" build demo --release-dir demo/release >/dev/null
py apply "$original" demo/build/corvane-translated.bps by_build.smc || fail "the helper refuses the build's BPS"
cmp -s by_build.smc "$built" || fail "the helper's result of the build's BPS is not the built ROM"
cmp -s demo/release/corvane-translated.bps demo/build/corvane-translated.bps || fail "the release's BPS is another"

"$tool" make-bps "$original" "$built" ours.bps >/dev/null
py apply "$original" ours.bps by_helper.smc || fail "the helper refuses make-bps's patch of the demo project"
cmp -s by_helper.smc "$built" || fail "the helper's result of make-bps's patch is not the built ROM"
# The helper checks what it is given: one byte changed in the patch, or the wrong source, is refused.
python3 -c 'import sys; b = bytearray(open(sys.argv[1], "rb").read()); b[len(b) // 2] ^= 1; open(sys.argv[2], "wb").write(b)' \
    ours.bps damaged.bps
! py apply "$original" damaged.bps none.smc 2>/dev/null || fail "the helper applies a damaged patch"
! py apply "$built" ours.bps none.smc 2>/dev/null || fail "the helper applies a patch to the wrong source"

{ head -c 512 demo/corvane_headered.smc; cat "$built"; } >built_headered.smc
for pair in "$original:$built" "demo/corvane_headered.smc:built_headered.smc"; do
    from=${pair%%:*} to=${pair#*:}
    py create "$from" "$to" theirs.bps
    cp "$from" patched.smc
    "$tool" patch patched.smc theirs.bps >/dev/null || fail "corvtool patch refuses the helper's patch of $from"
    cmp -s patched.smc "$to" || fail "corvtool patch's result of the helper's patch of $from is not $to"
done

used=""
for seed in $(seq 1 6); do
    py pair "$seed" source.bin target.bin
    # Random sizes may differ in the copier-header bit: make-bps warns, which is not the point here.
    "$tool" make-bps source.bin target.bin ours.bps >/dev/null 2>&1
    py apply source.bin ours.bps result.bin || fail "seed $seed: the helper refuses make-bps's patch"
    cmp -s result.bin target.bin || fail "seed $seed: the helper's result of make-bps's patch differs"

    py edit "$seed" "$original" edited.smc 0x134B00 0x136000
    py create "$original" edited.smc theirs.bps
    used="$used $(py actions theirs.bps)"
    cp "$original" patched.smc
    "$tool" patch patched.smc theirs.bps >/dev/null || fail "seed $seed: corvtool patch refuses the helper's patch"
    cmp -s patched.smc edited.smc || fail "seed $seed: corvtool patch's result of the helper's patch differs"
done
for kind in SourceRead TargetRead SourceCopy TargetCopy; do
    grep -qE "$kind=[1-9]" <<<"$used" || fail "no patch of the helper used $kind"
done
cd /
rm -rf "$work"
echo "both directions agree: the demo project's pair, its headered pair and 6 random pairs each way"

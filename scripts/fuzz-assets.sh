#!/bin/bash
# Fuzzes the Targa and JPEG readers with libFuzzer (clang, ASan + UBSan).
# Usage: scripts/fuzz-assets.sh [runs per reader, default 10000000] [tga|jpeg ...]
# Builds in build-fuzz/, starts from the seed corpus in tests/fuzz/textures/
# and keeps what it finds under build-fuzz/fuzz-work/<reader>/; exits non-zero
# on the first finding, whose input lands in .../artifacts/.
set -euo pipefail
runs=${1:-10000000}
shift || true
formats=${*:-tga jpeg}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang \
        -DCMAKE_CXX_COMPILER=clang++ -DBLAST_FUZZ=ON >/dev/null
fi
ninja -C "$build" -j2 $(printf 'fuzz_%s ' $formats) >/dev/null

for format in $formats; do
    work=$build/fuzz-work/$format
    mkdir -p "$work/corpus" "$work/artifacts"
    echo "== $format: $runs runs"
    start=$(date +%s)
    "$build/tests/fuzz/textures/fuzz_$format" "$work/corpus" "$root/tests/fuzz/textures/corpus/$format" \
        -runs="$runs" -max_len=4096 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$work/artifacts/" >"$work/log.txt" 2>&1 || {
        echo "finding: see $work/log.txt and $work/artifacts/"
        exit 1
    }
    grep -E '^(Done|stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb))' "$work/log.txt"
    echo "corpus: $(ls "$work/corpus" | wc -l) inputs, $(( $(date +%s) - start )) s"
done

#!/bin/sh
# Long fuzz run of the map reader and normals: libFuzzer with ASan and UBSan.
# Usage: scripts/fuzz-maps.sh [runs]   (default ten million)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
runs=${1:-10000000}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DBLAST_FUZZ=ON -DBLAST_TESTS=ON >/dev/null
ninja -C "$build" -j2 map_fuzzer
work="$build/fuzz-maps"
mkdir -p "$work/corpus" "$work/artifacts"
cp -n "$root"/tests/fuzz/maps/corpus/* "$work/corpus/" 2>/dev/null || true
cd "$work"
exec nice -n 10 "$build/tests/fuzz/maps/map_fuzzer" -runs="$runs" -dict="$root/tests/fuzz/maps/map.dict" \
  -max_len=4096 -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
  -artifact_prefix="$work/artifacts/" "$work/corpus"

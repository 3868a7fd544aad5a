#!/bin/sh
# Builds a libFuzzer harness with clang (ASan + UBSan) and runs it.
#   scripts/fuzz.sh TOPIC SECONDS       e.g. scripts/fuzz.sh server 300
#   scripts/fuzz.sh TOPIC NUMBERr       a number of inputs, e.g. 100000000r
# TOPIC names tests/fuzz/TOPIC/ (harness fuzz_TOPIC, seeds in corpus/). New
# inputs go to build-fuzz/corpus-TOPIC, so the committed seeds stay as they are.
# Extra arguments go to libFuzzer, e.g. -jobs=2 -workers=2 -max_len=600.
set -eu
topic=$1
amount=$2
shift 2
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DBLAST_FUZZ=ON >/dev/null
fi
ninja -C "$build" -j2 "fuzz_$topic"
harness=$(find "$build/tests/fuzz/$topic" -maxdepth 1 -name "fuzz_$topic" -type f)
work=$build/corpus-$topic
mkdir -p "$work"
case $amount in
  *r) limit="-runs=${amount%r}" ;;
  *)  limit="-max_total_time=$amount" ;;
esac
exec nice -n 10 "$harness" "$limit" -print_final_stats=1 "$@" \
  "$work" "$root/tests/fuzz/$topic/corpus"

#!/bin/sh
# Builds libFuzzer harnesses with clang (ASan + UBSan) and fuzzes them.
#   scripts/fuzz.sh NAME [AMOUNT] [libFuzzer arguments...]
# NAME is a harness (datagram, tga, jpeg, map: see tests/fuzz/*/CMakeLists.txt)
# or "all" for each in turn. AMOUNT is seconds (300) or a number of inputs with
# an r (100000000r); the default is 10000000r. Extra arguments go to libFuzzer,
# e.g. -jobs=2 -workers=2 -max_len=600.
# Every harness works the same way: it builds in build-fuzz/, starts from its
# seeds in tests/fuzz/<topic>/corpus/NAME/ (and NAME.dict beside them, if any)
# and keeps what it finds in build-fuzz/fuzz-work/NAME/: corpus/ (new inputs;
# the committed seeds stay as they are), log.txt, and artifacts/, where the
# input of a finding lands. Exits non-zero on the first finding.
set -eu
[ $# -ge 1 ] || { sed -n '2,6s/^# \{0,1\}//p' "$0" >&2; exit 2; }
name=$1
amount=${2:-10000000r}
[ $# -ge 2 ] && shift 2 || shift 1
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DBLAST_FUZZ=ON >/dev/null
fi
if [ "$name" = all ]; then
  names=$(ninja -C "$build" -t targets all | sed -n 's/^fuzz\/fuzz_\([a-z0-9_]*\): .*/\1/p')
else
  names=$name
fi
targets=$(for n in $names; do printf 'fuzz_%s ' "$n"; done)
nice -n 10 ninja -C "$build" -j2 $targets >/dev/null
case $amount in
  *r) limit="-runs=${amount%r}" ;;
  *)  limit="-max_total_time=$amount" ;;
esac
for n in $names; do
  seeds=$(find "$root/tests/fuzz" -path "*/corpus/$n" -type d)
  [ -n "$seeds" ] || { echo "no seeds for $n under tests/fuzz/*/corpus/" >&2; exit 2; }
  dict=$(dirname "$seeds")/../$n.dict
  work=$build/fuzz-work/$n
  mkdir -p "$work/corpus" "$work/artifacts"
  extra=""
  [ -f "$dict" ] && extra="-dict=$dict"
  echo "== $n: $amount"
  start=$(date +%s)
  if ! nice -n 10 "$build/fuzz/fuzz_$n" "$limit" $extra -max_len=4096 -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$@" \
      "$work/corpus" "$seeds" >"$work/log.txt" 2>&1; then
    tail -n 30 "$work/log.txt"
    echo "finding: see $work/log.txt and $work/artifacts/"
    exit 1
  fi
  grep -E '^(Done|stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb))' \
    "$work/log.txt" || true
  echo "corpus: $(ls "$work/corpus" | wc -l) inputs, $(( $(date +%s) - start )) s"
done

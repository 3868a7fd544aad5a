#!/bin/sh
# The server's CPU per state with and without recording: the staged server
# driven by bin/loadgen with 10 clients at nominal load (50 states a second
# each, every state different, so none is dropped as a repeat), first plain,
# then with BLASTAVIA_RECORD, in ROUNDS alternating pairs (the figures of a
# shared machine wander; the sums compare them). Needs ports 2184/2185 free.
#   tests/bench/replay/server_cpu.sh [BUILD_DIR] [SECONDS] [ROUNDS]
set -eu
build=${1:-build}
seconds=${2:-10}
rounds=${3:-3}
bin=$build/stage/bin
[ -x "$bin/server" ] && [ -x "$bin/loadgen" ] || { echo "build first: ninja -C $build server loadgen" >&2; exit 2; }
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

field() { echo "$1" | tr ' ' '\n' | sed -n "s/^$2=//p"; }

# measure NAME [VAR=VALUE]: sets result_NAME to loadgen's RESULT line.
measure() {
  name=$1
  shift
  env "$@" "$bin/server" hall 10 20 >/dev/null &
  pid=$!
  sleep 0.3
  result=$("$bin/loadgen" --clients 10 --seconds "$seconds" --server-pid $pid | grep RESULT)
  kill $pid
  wait $pid 2>/dev/null || true
  echo "$name: $result"
  eval "result_$name=\"\$result\""
}

sum_plain=0
sum_recording=0
add() { awk -v a="$1" -v b="$2" 'BEGIN { print a + b }'; }
round=1
while [ $round -le $rounds ]; do
  measure plain
  measure recording BLASTAVIA_RECORD="$folder"
  sum_plain=$(add "$sum_plain" "$(field "$result_plain" cpu_us_per_state)")
  sum_recording=$(add "$sum_recording" "$(field "$result_recording" cpu_us_per_state)")
  round=$((round + 1))
done
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }
echo
echo "server CPU per state, plain:      $(ratio "$sum_plain" "$rounds") us (mean of $rounds)"
echo "server CPU per state, recording:  $(ratio "$sum_recording" "$rounds") us"
echo "recording / plain:                $(ratio "$sum_recording" "$sum_plain")"
echo "recorded: $(du -sk "$folder" | cut -f1) KB in $(ls "$folder" | wc -l) file(s)"

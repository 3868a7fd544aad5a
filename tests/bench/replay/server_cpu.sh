#!/bin/sh
# The server's CPU per state with and without recording: the staged server
# driven by bin/loadgen with 10 clients at nominal load (50 states a second
# each, every state different, so none is dropped as a repeat), first plain,
# then with BLASTAVIA_RECORD. Needs ports 2184/2185 free.
#   tests/bench/replay/server_cpu.sh [BUILD_DIR] [SECONDS]
set -eu
build=${1:-build}
seconds=${2:-10}
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

measure plain
measure recording BLASTAVIA_RECORD="$folder"
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }
echo
echo "server CPU per state, plain:            $(field "$result_plain" cpu_us_per_state) us"
echo "server CPU per state, recording:        $(field "$result_recording" cpu_us_per_state) us"
echo "recording / plain:                      $(ratio "$(field "$result_recording" cpu_us_per_state)" "$(field "$result_plain" cpu_us_per_state)")"
echo "recorded: $(du -sk "$folder" | cut -f1) KB in $(ls "$folder" | wc -l) file(s) for $seconds s"

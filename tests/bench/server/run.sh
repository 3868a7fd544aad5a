#!/bin/sh
# Server relay benchmark: the staged server, its one-send-per-relay variant and
# a bare receive-and-send-90 loop, each driven by bin/loadgen with 10 clients:
# nominal load (50 states a second per client) and saturation.
#   tests/bench/server/run.sh [BUILD_DIR] [SECONDS]
# Needs ports 2184/2185 free. Prints each run and the ratios to the baseline.
# The baseline's relays carry no valid checksum, so loadgen counts them lost;
# only its CPU and rate figures matter. It has no lobby: its clients do not join.
# In saturation each client sends far beyond the game's rate, so the server
# fans out only its budget (twice the game's rate per client) and drops the
# rest cheaply: its rate there is what it takes in, not what it relays.
set -eu
build=${1:-build}
seconds=${2:-5}
bin=$build/stage/bin
[ -x "$bin/server" ] && [ -x "$bin/loadgen" ] && [ -x "$bin/relay_baseline" ] || {
  echo "build first: ninja -C $build server loadgen relay_baseline server_onebyone" >&2
  exit 2
}

field() { echo "$1" | tr ' ' '\n' | sed -n "s/^$2=//p"; }

# measure NAME "LOADGEN OPTIONS" COMMAND...: sets nominal_NAME and
# saturated_NAME to RESULT lines.
measure() {
  name=$1
  options=$2
  shift 2
  "$@" >/dev/null &
  pid=$!
  sleep 0.3
  nominal=$("$bin/loadgen" --clients 10 --seconds "$seconds" --server-pid $pid $options \
            | grep RESULT)
  saturated=$("$bin/loadgen" --clients 10 --seconds "$seconds" --server-pid $pid --saturate \
              $options | grep RESULT)
  kill $pid
  wait $pid 2>/dev/null || true
  echo "$name nominal:    $nominal"
  echo "$name saturation: $saturated"
  eval "nominal_$name=\"\$nominal\"; saturated_$name=\"\$saturated\""
}

measure baseline --no-join "$bin/relay_baseline"
measure server "" "$bin/server" hall 10 20
measure onebyone "" "$bin/server_onebyone" hall 10 20

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }
echo
echo "server CPU per state / baseline (nominal):      $(ratio "$(field "$nominal_server" cpu_us_per_state)" "$(field "$nominal_baseline" cpu_us_per_state)")   target <= 1.2"
echo "same, one send per relay like the baseline:     $(ratio "$(field "$nominal_onebyone" cpu_us_per_state)" "$(field "$nominal_baseline" cpu_us_per_state)")"
echo "server CPU per state / baseline (saturation):   $(ratio "$(field "$saturated_server" cpu_us_per_state)" "$(field "$saturated_baseline" cpu_us_per_state)")"
echo "saturation rate / baseline's:                   $(ratio "$(field "$saturated_server" taken_per_s)" "$(field "$saturated_baseline" taken_per_s)")   target >= 0.8"
echo "relays lost at nominal load:                    $(field "$nominal_server" lost)"
echo "server share of one core at nominal load:       $(field "$nominal_server" cpu_share)"
echo "batched sends speed-up, CPU per state nominal:  $(ratio "$(field "$nominal_onebyone" cpu_us_per_state)" "$(field "$nominal_server" cpu_us_per_state)")   keep batching if >= 1.15"
echo "batched sends speed-up, saturation rate:        $(ratio "$(field "$saturated_server" taken_per_s)" "$(field "$saturated_onebyone" taken_per_s)")"

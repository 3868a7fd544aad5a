#!/usr/bin/env bash
# CPU time of one bot playing on "hall" against a real server, read from
# /proc/PID/stat (utime + stime) over a fixed span once the bot has joined.
#   tests/bench/bot/cpu.sh [BIN_DIR] [SECONDS]   (build/stage/bin, 20)
# BIN_DIR holds server and bot (and ../data/maps). The server's fixed ports
# are taken in a private network namespace where the machine allows it
# (scripts/isolated.sh), so this never meets another server. Prints one line:
#   bot_cpu seconds=20 utime_s=... stime_s=... cpu_s=... share=...
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
bin=$(cd "${1:-$root/build/stage/bin}" && pwd)
seconds=${2:-20}
[ -x "$bin/server" ] && [ -x "$bin/bot" ] || { echo "no server and bot in $bin" >&2; exit 2; }

measure() {
  cd "$bin"
  log=$(mktemp)
  ./server hall 8 1000 >"$log" 2>&1 &
  server=$!
  until grep -q "Server started" "$log"; do
    kill -0 $server 2>/dev/null || { cat "$log" >&2; exit 1; }
    sleep 0.1
  done
  ./bot --count 1 --skill 3 --skin 0 >/dev/null 2>&1 &
  bot=$!
  until grep -q "New Client" "$log"; do
    kill -0 $bot 2>/dev/null || { echo "the bot ended before joining" >&2; kill $server; exit 1; }
    sleep 0.1
  done
  read -r u0 s0 < <(awk '{ sub(/.*\) /, ""); print $12, $13 }' "/proc/$bot/stat")
  sleep "$seconds"
  read -r u1 s1 < <(awk '{ sub(/.*\) /, ""); print $12, $13 }' "/proc/$bot/stat")
  kill $bot $server
  wait 2>/dev/null || true
  rm -f "$log"
  hz=$(getconf CLK_TCK)
  awk -v u=$((u1 - u0)) -v s=$((s1 - s0)) -v hz="$hz" -v t="$seconds" 'BEGIN {
    printf "bot_cpu seconds=%d utime_s=%.2f stime_s=%.2f cpu_s=%.2f share=%.2f%%\n",
           t, u / hz, s / hz, (u + s) / hz, 100 * (u + s) / hz / t }'
}

if [ "${BLAST_ISOLATED:-}" = 1 ]; then
  measure
else
  BLAST_ISOLATED=1 exec "$root/scripts/isolated.sh" "$0" "$bin" "$seconds"
fi

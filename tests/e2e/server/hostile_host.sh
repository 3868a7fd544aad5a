#!/bin/sh
# The staged server against hostile hosts, in a private network namespace
# (the test runs under scripts/isolated.sh), from bin/:
#  - nine players and one joined player flooding 2500 states a second: the
#    flood may cause at most three honest players' worth of relays;
#  - ten players and a host that never joined, sending from its own address
#    (127.0.0.66, as a forged source would) new players' states and states
#    naming the ten: the players see exactly their own relays, nothing forged,
#    and the stranger gets nothing back;
#  - five players and the same stranger: free slots, but none for it;
#  - the lobby under a connection flood still answers every honest join.
# Prints the figures; SERVER=path runs another server build (for comparison),
# REPORT_ONLY=1 prints without judging.
set -u
server=${SERVER:-./server}
seconds=${SECONDS_PER_RUN:-3}
here=$(dirname "$0")
failed=0

field() { echo "$1" | tr ' ' '\n' | sed -n "s/^$2=//p"; }
judge() {  # judge DESCRIPTION AWK_CONDITION
  [ "${REPORT_ONLY:-0}" = 1 ] && return
  if awk "BEGIN { exit !($2) }"; then echo "ok: $1"; else echo "FAILED: $1 ($2)"; failed=1; fi
}

"$server" hall 10 20 >/dev/null &
pid=$!
sleep 0.3

flood=$(./loadgen --clients 9 --seconds "$seconds" --flood 2500 --server-pid $pid)
echo "$flood"
h=$(echo "$flood" | grep '^HOSTILE')
judge "a flood causes at most 3 honest players' fan-out" "$(field "$h" flood_fanout_x) <= 3"
judge "the honest players all hear each other" "$(field "$h" honest_min_per_s) > 0"

stranger=$(./loadgen --clients 10 --seconds "$seconds" --stranger 2500 --server-pid $pid)
echo "$stranger"
r=$(echo "$stranger" | grep '^RESULT')
h=$(echo "$stranger" | grep '^HOSTILE')
judge "ten players lose no relay beside a stranger" "$(field "$r" lost) == 0"
judge "the stranger causes no relay" "$(field "$h" honest_extra) == 0"
judge "the stranger's address gets nothing" "$(field "$h" stranger_got) == 0"
judge "no forged state is relayed" "$(field "$h" forged_seen) == 0"

# With free slots a stranger was handed one, and the fan-out went to its address.
reflect=$(./loadgen --clients 5 --seconds "$seconds" --stranger 500 --server-pid $pid)
echo "$reflect"
h=$(echo "$reflect" | grep '^HOSTILE')
judge "a stranger takes no free slot and is sent nothing" "$(field "$h" stranger_got) == 0"
judge "nor does it cause relays to the players" "$(field "$h" honest_extra) == 0"

# Honest joins wait as long as the game does (3 s); the slowest is printed.
lobby=$(python3 "$here/lobby_flood.py" "$seconds" 20 3 1)
echo "$lobby"
judge "every honest join is answered under a connection flood" \
  "$(field "$lobby" answered) == $(field "$lobby" honest)"

kill $pid
wait $pid 2>/dev/null
exit $failed

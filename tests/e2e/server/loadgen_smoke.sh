#!/bin/sh
# bin/loadgen against the staged server for a second: it must join its clients,
# get their relays back and read the server's CPU time. Run from bin/.
set -u
./server hall 10 20 >/dev/null &
pid=$!
sleep 0.3
out=$(./loadgen --clients 4 --seconds 1 --server-pid $pid)
kill $pid
wait $pid 2>/dev/null
echo "$out"
echo "$out" | grep -Eq 'RESULT sent_per_s=[0-9.]+ taken_per_s=[1-9][0-9.]* relays_per_s=[1-9][0-9.]* .*cpu_share=[0-9]' || {
  echo "loadgen did not measure a working server" >&2
  exit 1
}

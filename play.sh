#!/usr/bin/env bash
# Builds everything (installing missing Debian packages first), starts a local
# server on "hall" in the background, runs the game, and stops the server when
# the game ends. Extra arguments: map name, player limit, frag limit.
set -euo pipefail
cd "$(dirname "$0")"
scripts/build.sh
MAP="${1:-hall}"
PLAYERS="${2:-8}"
FRAGS="${3:-10}"
cd build/stage/bin
server_pid=""
if [ -x ./server ]; then
  ./server "$MAP" "$PLAYERS" "$FRAGS" > ../server.log 2>&1 &
  server_pid=$!
  trap 'kill "$server_pid" 2>/dev/null || true' EXIT
  sleep 0.3
fi
./game

#!/usr/bin/env bash
# Builds everything (installing missing Debian packages first), starts a local
# server on "hall" in the background, runs the game, and stops the server when
# the game ends. Extra arguments: map name, player limit, frag limit.
# `--bots N` (and `--skill 1-5`) first adds N computer players to the match.
set -euo pipefail
cd "$(dirname "$0")"
BOTS=0
SKILL=3
while [ $# -gt 0 ]; do
  case "$1" in
    --bots) BOTS="${2:?--bots needs a number}"; shift 2 ;;
    --skill) SKILL="${2:?--skill needs 1 to 5}"; shift 2 ;;
    *) break ;;
  esac
done
scripts/build.sh
MAP="${1:-hall}"
PLAYERS="${2:-8}"
FRAGS="${3:-10}"
cd build/stage/bin
server_pid=""
bot_pid=""
trap 'kill $bot_pid $server_pid 2>/dev/null || true' EXIT
if [ -x ./server ]; then
  ./server "$MAP" "$PLAYERS" "$FRAGS" > ../server.log 2>&1 &
  server_pid=$!
  sleep 0.3
fi
if [ "$BOTS" != 0 ]; then
  ./bot --count "$BOTS" --skill "$SKILL" > ../bots.log 2>&1 &
  bot_pid=$!
fi
./game

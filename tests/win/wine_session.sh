#!/usr/bin/env bash
# wine_session.sh COMMAND...: runs a test with the Windows build at hand.
# Meant to run inside scripts/isolated.sh: Wine's sockets belong to its
# wineserver, so the prefix's wineserver is started here, in the private
# network namespace, kept running for the whole test (each program then starts
# quickly) and stopped at the end. The test finds, in its environment:
#   BLAST_WINE            scripts/win/wine.sh, which runs an .exe
#   BLAST_WIN_STAGE_BIN   build-win/stage/bin
#   BLAST_SERVER_COMMAND  server.exe under Wine, for the server test programs
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
STAGE=$ROOT/build-win/stage
if [ ! -f "$STAGE/bin/server.exe" ] || [ ! -f "$STAGE/bin/game.exe" ]; then
  echo "No Windows build in $STAGE: run scripts/build-win.sh" >&2
  exit 1
fi
export WINEPREFIX=${WINEPREFIX:-$ROOT/build-win/wine}
# A wineserver left from an earlier run lives in another namespace.
"$ROOT/scripts/win/wine.sh" --restart
trap 'wineserver -k 2>/dev/null || true' EXIT
export BLAST_WINE=$ROOT/scripts/win/wine.sh
export BLAST_WIN_STAGE_BIN=$STAGE/bin
export BLAST_SERVER_COMMAND="$BLAST_WINE $STAGE/bin/server.exe"
"$@"

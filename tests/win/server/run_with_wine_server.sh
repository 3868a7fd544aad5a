#!/usr/bin/env bash
# run_with_wine_server.sh TEST [GTEST ARGS...]: runs one of the Linux server
# test programs against the Windows server.exe under Wine, same cases, same
# bytes. Meant to run inside scripts/isolated.sh: Wine's sockets belong to its
# wineserver, so this prefix's wineserver is started here, in the private
# network namespace, and stopped again at the end.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../../.." && pwd)
STAGE=$ROOT/build-win/stage
if [ ! -f "$STAGE/bin/server.exe" ]; then
  echo "No Windows build in $STAGE: run scripts/build-win.sh" >&2
  exit 1
fi
export WINEPREFIX=$ROOT/build-win/wine-net
"$ROOT/scripts/win/wine.sh" --init
# A wineserver left from an earlier run lives in another namespace.
wineserver -k 2>/dev/null || true
wineserver -w
# Kept running for the whole test, so each server.exe starts quickly.
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true' EXIT
cd "$STAGE/bin"
export BLAST_SERVER_COMMAND="$ROOT/scripts/win/wine.sh $STAGE/bin/server.exe"
"$@"

#!/usr/bin/env bash
# Runs a Windows program under Wine the way the tests need it: no debug
# output, no first-run dialogs (Mono and Gecko installers), and a private Wine
# prefix under build-win/ (or $WINEPREFIX) that is set up on first use. A
# prefix that fails to set up is tried once more, then the failure is said
# plainly and the script fails: a Wine that cannot start never passes a test.
#   scripts/win/wine.sh PROGRAM.exe [ARGS...]   runs it (exec, same pid)
#   scripts/win/wine.sh --init                  only sets up the prefix
#   scripts/win/wine.sh --restart               (re)starts the prefix's wineserver,
#       kept running, in the caller's network namespace; ends its programs
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$ROOT/build-win/wine}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

wine_ready() { [ -f "$WINEPREFIX/.blast-ready" ]; }

init_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  # One set-up at a time per prefix: parallel tests wait for the first.
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if ! wine_ready; then
    local attempt
    for attempt in 1 2; do
      rm -rf "$WINEPREFIX"
      if timeout 300 wineboot --init >/dev/null 2>&1 && timeout 120 wineserver --wait \
         && [ -f "$WINEPREFIX/system.reg" ]; then
        touch "$WINEPREFIX/.blast-ready"
        break
      fi
      echo "wine.sh: setting up the Wine prefix $WINEPREFIX failed (attempt $attempt)" >&2
    done
  fi
  flock -u 9
  exec 9>&-
  if ! wine_ready; then
    echo "wine.sh: Wine could not be started; the Windows tests cannot run" >&2
    exit 97
  fi
}

wine_ready || init_prefix
[ "${1:-}" = "--init" ] && exit 0
if [ "${1:-}" = "--restart" ]; then
  wineserver -k 2>/dev/null || true
  wineserver -w
  wineserver -p </dev/null >/dev/null 2>&1
  exit 0
fi
exec wine "$@"

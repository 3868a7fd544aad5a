#!/usr/bin/env bash
# Runs a command in a private network namespace with only a loopback
# interface, when the machine allows it (root, unshare), so tests that bind the
# server's fixed ports never meet another server on this machine. Elsewhere the
# command runs as it is.
set -euo pipefail
if [ "$(id -u)" -eq 0 ] && command -v unshare >/dev/null && command -v ip >/dev/null \
   && unshare -n true 2>/dev/null; then
  exec unshare -n -- bash -c 'ip link set lo up && exec "$@"' isolated "$@"
fi
exec "$@"

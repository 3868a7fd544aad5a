#!/usr/bin/env bash
# Builds everything (installing missing Debian packages first) and runs every
# test: unit, offscreen GL, end-to-end under Xvfb, fuzz smoke runs, and the
# Windows build (scripts/build-win.sh) under Wine: its server against the
# server tests, its game against Linux players.
set -euo pipefail
cd "$(dirname "$0")"
scripts/build.sh
scripts/build-win.sh
if ! grep -q "^BLAST_WIN_TESTS:BOOL=ON" build/CMakeCache.txt; then
  cmake build -DBLAST_WIN_TESTS=ON >/dev/null
fi
cd build
ctest --output-on-failure -j 2 "$@"

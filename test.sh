#!/usr/bin/env bash
# Builds everything (installing missing Debian packages first) and runs every
# test: unit, offscreen GL, end-to-end under Xvfb, fuzz smoke runs.
set -euo pipefail
cd "$(dirname "$0")"
scripts/build.sh
cd build
ctest --output-on-failure -j 2 "$@"

#!/usr/bin/env bash
# Configures and builds everything into build/, staging the game folder in
# build/stage/ (bin/, data/, config.cfg).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build build -j "$(nproc)"

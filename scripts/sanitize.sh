#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UBSan into build-asan/ and runs
# the whole test suite there (every tier: the tools that generate the data at
# build time run sanitized too). Arguments go to ctest, e.g. -L unit or -R tga.
# A memory error, a leak in our code or any undefined behaviour fails the test
# that met it; leaks inside the system's libraries (Mesa, X11, fontconfig,
# dbus, SDL's drivers) are suppressed by tests/support/lsan.supp.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-asan
"$root/scripts/deps.sh"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=0
# Full stacks on every allocation: the leak list matches frames below the top.
export LSAN_OPTIONS=suppressions=$root/tests/support/lsan.supp:print_suppressions=0:fast_unwind_on_malloc=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBLAST_SANITIZE=ON
fi
nice -n 10 cmake --build "$build" -j 2
cd "$build"
nice -n 10 ctest --output-on-failure -j 2 "$@"

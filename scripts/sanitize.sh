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

# Mesa's software driver and its GLX and EGL front ends are loaded for the
# whole run, so that what they keep for the process's life is still named by
# its module when the leak check runs (SDL unloads the GL libraries with the
# last window). Their loading ahead of the ASan runtime is fine: they are not
# instrumented. Slow unwinding on every malloc would name them too, but
# deadlocks in LLVM's frame registration.
dri=
for lib in dri/swrast_dri.so libGLX_mesa.so.0 libEGL_mesa.so.0; do
  [ ! -e "/usr/lib/x86_64-linux-gnu/$lib" ] || dri=${dri:+$dri:}/usr/lib/x86_64-linux-gnu/$lib
done
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=0:verify_asan_link_order=0
export LSAN_OPTIONS=suppressions=$root/tests/support/lsan.supp:print_suppressions=0
[ -z "$dri" ] || export LD_PRELOAD=$dri${LD_PRELOAD:+:$LD_PRELOAD}
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBLAST_SANITIZE=ON
fi
nice -n 10 cmake --build "$build" -j 2
cd "$build"
# The Windows programs under Wine are not sanitized builds: their tests are
# left to the ordinary run (the preloaded GL libraries only disturb Wine).
nice -n 10 ctest --output-on-failure -j 2 -LE win "$@"

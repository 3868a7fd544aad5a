#!/usr/bin/env bash
# Each program given must run on a machine without a display: no GL, GLU or
# SDL library among what it loads.
set -euo pipefail
status=0
for program in "$@"; do
  needed=$(readelf -d "$program" | grep NEEDED || true)
  if grep -Ei 'libGL|libGLU|libOpenGL|libSDL|libEGL|libX11' <<<"$needed"; then
    echo "$program links a window or GL library" >&2
    status=1
  fi
done
"$1"
exit $status

#!/usr/bin/env bash
# The Windows build in one command: installs the cross toolchain and Wine,
# builds the dependency stack once (scripts/win/stack.sh), cross-builds
# game.exe, server.exe, bot.exe and replay-info.exe, and stages
# build-win/stage/ like the Linux stage: bin/ with the programs and every DLL
# they load, data/ (the Linux build's generated data, plus the font the game
# falls back to), config.cfg.
# Then packs that folder as build-win/blastavia-windows.zip.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
JOBS=${BLAST_JOBS:-2}

scripts/win/deps.sh
# The data files come from our own Linux tools.
[ -d build/stage/data ] || scripts/build.sh

PREFIX=$(scripts/win/stack.sh | tail -n 1)
# Stacks built from older recipes are not needed any more.
for old in build-win/stack-*; do
  [ "$ROOT/$old" = "$PREFIX" ] || [ "$old" = build-win/stack-work ] || rm -rf "$old"
done
OUT=build-win/programs
if [ ! -f "$OUT/build.ninja" ] || ! grep -q "BLAST_WIN_PREFIX:.*=$PREFIX\$" "$OUT/CMakeCache.txt"; then
  rm -rf "$OUT"
  cmake -S . -B "$OUT" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" -DBLAST_WIN_PREFIX="$PREFIX" >/dev/null
fi
nice cmake --build "$OUT" -j "$JOBS"

STAGE=build-win/stage
rm -rf "$STAGE"
mkdir -p "$STAGE/bin"
cp "$OUT"/stage/bin/*.exe "$STAGE/bin/"
cp -r build/stage/data "$STAGE/data"
cp client/config.cfg "$STAGE/config.cfg"

# Windows has no fontconfig and need not have Lucida Console: DejaVu Sans Mono
# (Debian's fonts-dejavu-core, free to redistribute) goes with the game.
mkdir -p "$STAGE/data/fonts"
cp /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf "$STAGE/data/fonts/"
{
  echo "DejaVuSansMono.ttf is the DejaVu Sans Mono face from Debian's fonts-dejavu-core"
  echo "package. The game uses it when Windows has no Lucida Console. Its licence:"
  echo
  cat /usr/share/doc/fonts-dejavu-core/copyright
} >"$STAGE/data/fonts/LICENSE.txt"

# Every DLL the programs load, and the DLLs those load, that is not part of
# Windows itself: from the stack and from the mingw-w64 run-time.
SEARCH=("$PREFIX/bin" /usr/x86_64-w64-mingw32/lib /usr/lib/gcc/x86_64-w64-mingw32/*-posix)
pending=("$STAGE"/bin/*.exe)
while [ ${#pending[@]} -gt 0 ]; do
  file=${pending[0]}
  pending=("${pending[@]:1}")
  for dll in $(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
    [ -f "$STAGE/bin/$dll" ] && continue
    for dir in "${SEARCH[@]}"; do
      found=$(find "$dir" -maxdepth 1 -iname "$dll" -print -quit 2>/dev/null || true)
      if [ -n "$found" ]; then
        cp "$found" "$STAGE/bin/$dll"
        pending+=("$STAGE/bin/$dll")
        break
      fi
    done
  done
done

# The download: one folder, blastavia/, unpacked anywhere and run from bin/.
ZIP=$ROOT/build-win/blastavia-windows.zip
rm -rf build-win/zip "$ZIP"
mkdir -p build-win/zip
cp -r "$STAGE" build-win/zip/blastavia
(cd build-win/zip && zip -qr -X "$ZIP" blastavia)
rm -rf build-win/zip
echo "Windows build: $STAGE/ and $ZIP"

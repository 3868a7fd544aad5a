#!/usr/bin/env bash
# Builds the Windows dependency stack (SDL2, libogg, libvorbis, SDL2_mixer,
# freetype, SDL2_ttf, libjpeg-turbo, zlib) from Debian's own source packages with
# the mingw-w64 toolchain, into build-win/stack-<recipe hash>/. The hash covers
# this script and the toolchain file, so the stack is rebuilt only when its
# recipe changes; an interrupted build never counts as done. Only what the
# game uses is built: no optional codecs, no shapers, no samples or tests.
# Prints the prefix on its last line.
set -euo pipefail
cd "$(dirname "$0")/../.."
ROOT=$PWD
TOOLCHAIN=$ROOT/cmake/mingw-w64.cmake
KEY=$(cat "$0" "$TOOLCHAIN" | sha256sum | cut -c1-12)
PREFIX=$ROOT/build-win/stack-$KEY
if [ -f "$PREFIX/.done" ]; then
  echo "$PREFIX"
  exit 0
fi

SRC=$ROOT/build-win/src
WORK=$ROOT/build-win/stack-work
rm -rf "$PREFIX" "$WORK"
mkdir -p "$SRC" "$WORK" "$PREFIX"
JOBS=${BLAST_JOBS:-2}

# unpack PACKAGE: the Debian source package, Debian's patches applied; sets DIR.
unpack() {
  (cd "$SRC" && ls "$1"_*.dsc >/dev/null 2>&1 || apt-get source --download-only -qq "$1")
  local dsc
  dsc=$(ls "$SRC/$1"_*.dsc | head -n 1)
  DIR=$WORK/$1
  dpkg-source --no-check -x "$dsc" "$DIR" >/dev/null
}

# build PACKAGE [cmake options...]: configure, build and install into PREFIX.
build() {
  local pkg=$1
  shift
  echo "== $pkg"
  cmake -S "$DIR" -B "$WORK/$pkg-build" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DBLAST_WIN_PREFIX="$PREFIX" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" \
    -DCMAKE_PREFIX_PATH="$PREFIX" -DBUILD_SHARED_LIBS=ON "$@" >"$WORK/$pkg.log" 2>&1 \
    || { tail -n 40 "$WORK/$pkg.log"; exit 1; }
  nice cmake --build "$WORK/$pkg-build" -j "$JOBS" >>"$WORK/$pkg.log" 2>&1 \
    || { tail -n 40 "$WORK/$pkg.log"; exit 1; }
  cmake --install "$WORK/$pkg-build" >>"$WORK/$pkg.log" 2>&1 \
    || { tail -n 40 "$WORK/$pkg.log"; exit 1; }
}

unpack libsdl2
build libsdl2 -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF -DSDL2_DISABLE_SDL2MAIN=OFF

unpack libogg
# Its export list names the DLL ogg.dll, while CMake builds libogg.dll: the
# libraries linked to it would look for a file that is not there.
sed -i 's/^LIBRARY ogg$//' "$DIR"/win32/ogg.def
build libogg -DINSTALL_DOCS=OFF -DBUILD_TESTING=OFF

unpack libvorbis
# GNU ld rejects the bare LIBRARY line of its export lists (MSVC takes it).
sed -i 's/^LIBRARY$//' "$DIR"/win32/*.def
build libvorbis -DOGG_ROOT="$PREFIX"

unpack libsdl2-mixer
build libsdl2-mixer -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_DEPS_SHARED=OFF -DSDL2MIXER_VORBIS_VORBISFILE_SHARED=OFF -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_CMD=OFF \
  -DSDL2MIXER_VORBIS=VORBISFILE -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_FLAC=OFF \
  -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_MP3=OFF -DSDL2MIXER_WAVPACK=OFF

unpack freetype
build freetype -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
  -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON

unpack libsdl2-ttf
build libsdl2-ttf -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=OFF -DSDL2TTF_SAMPLES=OFF

unpack libjpeg-turbo
build libjpeg-turbo -DENABLE_SHARED=ON -DENABLE_STATIC=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF

unpack zlib
# Replay files are deflated with it (libzlib1.dll). Debian's source leaves out
# win32/, whose version resource the DLL's build compiles: a small one instead.
mkdir -p "$DIR"/win32
cat >"$DIR"/win32/zlib1.rc <<'RC'
1 VERSIONINFO
FILEVERSION 1,2,13,0
PRODUCTVERSION 1,2,13,0
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "040904E4"
    BEGIN
      VALUE "FileDescription", "zlib data compression library\0"
      VALUE "OriginalFilename", "zlib1.dll\0"
    END
  END
END
RC
build zlib

rm -rf "$WORK"
touch "$PREFIX/.done"
echo "$PREFIX"

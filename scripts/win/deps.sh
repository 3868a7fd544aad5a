#!/usr/bin/env bash
# Installs what the Windows cross build and its tests need on Debian 12: the
# mingw-w64 toolchain (the posix flavour, so std::thread works), Wine to run the
# result, zip to pack it, and the tools that build the dependency stack from
# Debian's own source packages. Adds a deb-src entry for the same release so
# `apt-get source` works. Skips what is already there; sudo when not root.
set -euo pipefail

PACKAGES=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev wine wine64 zip unzip dpkg-dev cmake ninja-build
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

need_update=0
SRC=/etc/apt/sources.list.d/blastavia-src.sources
if [ ! -f "$SRC" ]; then
  # The same mirror, suites and key as the binary entries, for source packages.
  $SUDO tee "$SRC" >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  need_update=1
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ] || [ $need_update -eq 1 ]; then
  $SUDO apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

#!/usr/bin/env bash
# Installs the Debian 12 packages Blastavia needs to build, run and test,
# skipping the ones already present. Uses sudo when not run as root.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  libsdl2-dev libsdl2-mixer-dev libsdl2-ttf-dev libfontconfig-dev fonts-dejavu-core
  libjpeg-dev libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libvorbis-dev libx11-dev
  zlib1g-dev libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xfonts-base xdotool x11-utils imagemagick sox python3 iproute2 util-linux
  desktop-file-utils appstream man-db
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Builds the Debian package build/package/blastavia_<version>_<arch>.deb from
# the normal build and checks it: lintian, desktop-file-validate on the desktop
# entry, appstreamcli on the metainfo. Prints each tool's verdict and the size.
# Installs the packaging tools it lacks (lintian, desktop-file-utils, appstream).
set -euo pipefail
cd "$(dirname "$0")/.."
need=()
for p in dpkg-dev lintian desktop-file-utils appstream file; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
scripts/build.sh
rm -rf build/package
(cd build && cpack -G DEB -B "$PWD/package" >/dev/null)
deb=$(ls build/package/blastavia_*.deb)
rm -rf build/package/_CPack_Packages
echo "== $deb: $(stat -c %s "$deb") bytes; installed: $(dpkg-deb -f "$deb" Installed-Size) KiB"
dpkg-deb -f "$deb" Depends Recommends
echo "== lintian"
# Without --fail-on, lintian ends non-zero on errors only.
lintian --info --display-level '>=pedantic' "$deb" || { echo "lintian found errors"; exit 1; }
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
dpkg-deb -x "$deb" "$tmp"
echo "== desktop-file-validate"
desktop-file-validate "$tmp"/usr/share/applications/*.desktop
echo "== appstreamcli validate"
appstreamcli validate --no-net "$tmp"/usr/share/metainfo/*.metainfo.xml
echo "package checks passed"

#!/usr/bin/env bash
# The whole life of the Debian package on a brand-new Debian 12, as a player
# and an operator meet it. On the host (root):
#   scripts/package-check.sh            runs itself in fresh-debian.sh's chroot,
#                                       on a clean clone of this checkout's HEAD
# Inside (--inside): build the package and run its checks (scripts/package.sh),
# take the build tools away again, install the package with apt, play through
# the launchers as an ordinary user (blastavia-server hall 8 10, blastavia-bot
# --count 2, the game under Xvfb into a match, F12, the screenshot in the
# player's folder, quit), remove the package and look for anything it left
# outside that folder. Takes 15 to 25 minutes.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != --inside ]; then
  fresh=${FRESH_DEBIAN:-../shared/tools/fresh-debian.sh}
  exec "$fresh" . scripts/package-check.sh --inside
fi

step() { echo; echo "=== $*"; }
export DEBIAN_FRONTEND=noninteractive

step "building and checking the package"
scripts/package.sh
deb=$(ls "$PWD"/build/package/blastavia_*.deb)
cp "$deb" /tmp/
deb=/tmp/$(basename "$deb")

step "taking the build tools away, keeping only what the test drives the game with"
runtime_test_tools=(python3 xvfb xauth xdotool x11-utils iproute2 util-linux
  desktop-file-utils appstream man-db)
apt-get install -y -qq "${runtime_test_tools[@]}" >/dev/null
apt-mark manual "${runtime_test_tools[@]}" >/dev/null
build_only=$(dpkg-query -W -f='${Package}\n' | grep -E -- '-dev$|^(build-essential|cmake|ninja-build|clang(-14)?|llvm-14|gcc(-12)?|g\+\+(-12)?|cpp(-12)?|pkg-config|imagemagick|sox|lintian|debhelper|libsdl2-2.0-0|libsdl2-mixer-2.0-0|libsdl2-ttf-2.0-0|fonts-dejavu-core|libjpeg62-turbo|libglu1-mesa|xfonts-base)$' || true)
apt-get purge -y -qq $build_only >/dev/null
apt-get autoremove --purge -y -qq >/dev/null
for lib in libsdl2-2.0-0 libsdl2-mixer-2.0-0 libGLU; do
  if ldconfig -p | grep -q "$lib"; then echo "still present after the purge: $lib"; fi
done

# Everything outside the places the system itself keeps changing and the
# player's home (its files are the player's, listed at the end).
snapshot() {
  find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /run -o -path /tmp \
    -o -path /root -o -path /var/cache -o -path /var/lib/apt -o -path /var/lib/dpkg \
    -o -path /var/log -o -path /home/player \) -prune -o -print | sort
}
useradd -m -s /bin/bash player
snapshot >/tmp/before.txt

step "apt install ./$(basename "$deb")"
(cd /tmp && apt install -y -q "./$(basename "$deb")" 2>&1 | tail -3)
dpkg -s blastavia | sed -n '/^Version/p;/^Installed-Size/p;/^Depends/p;/^Recommends/p'
dpkg -L blastavia | sort >/tmp/files.txt

step "playing as an ordinary user from the installed launchers"
# A private network namespace keeps the server's fixed ports away from the host.
cp tests/e2e/harness.py tests/e2e/install/test_install.py /tmp/
chmod a+r /tmp/harness.py /tmp/test_install.py
unshare -n -- bash -c 'ip link set lo up && exec runuser -u player -- env -i \
  HOME=/home/player PATH=/usr/games:/usr/bin:/bin BLAST_INSTALLED=/usr \
  python3 /tmp/test_install.py' 2>&1
ls -l /home/player/.local/share/blastavia

step "apt remove blastavia"
apt remove -y -q blastavia 2>&1 | tail -2
left=""
while read -r path; do
  if [ -e "$path" ] || [ -L "$path" ]; then
    # Folders that were there before (/usr/games, /usr/share/man/man6, ...) stay.
    grep -qxF -- "$path" /tmp/before.txt || left="$left$path"$'\n'
  fi
done </tmp/files.txt
[ -z "$left" ] || { printf 'left behind by the package:\n%s' "$left"; exit 1; }
[ -z "$(dpkg -L blastavia 2>/dev/null)" ] || { echo "dpkg still lists files"; exit 1; }
# With the libraries it pulled in gone again, the system is as it was.
apt-get autoremove --purge -y -qq >/dev/null
snapshot >/tmp/after.txt
if ! diff /tmp/before.txt /tmp/after.txt; then echo "the system differs from before"; exit 1; fi
echo "the player's home after the game:"
(cd /home/player && find . -path ./.local/share/blastavia/data -prune -o -print | sort)
echo "nothing of the package left outside the player's home"
echo "package check passed"

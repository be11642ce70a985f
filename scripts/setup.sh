#!/bin/sh
# Installs the toolchain, Wine and the Japanese locale on a fresh Debian machine.
set -e
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
PKGS="g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine64 wine xvfb xauth \
fonts-ipafont-gothic imagemagick curl locales cmake g++ make python3 googletest"
missing=
for p in $PKGS; do
    dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
fi
# Without a generated ja_JP.UTF-8 locale Wine cannot create files with Japanese names.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    $SUDO sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
    $SUDO locale-gen
fi

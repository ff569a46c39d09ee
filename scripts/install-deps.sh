#!/bin/sh
# Installs the Debian packages the build, the program and the tests need, only those missing (checked
# with dpkg). xdg-utils opens web pages and folders for the program. The rest builds and checks the
# installed tree and the Debian package; lld links faster than the default linker.
set -e
PACKAGES="build-essential cmake pkg-config gettext libwxgtk3.2-dev wx-common libgtest-dev \
libimagequant-dev libexpat1-dev libgif-dev xvfb xauth fonts-dejavu-core fonts-droid-fallback xdg-utils \
desktop-file-utils appstream man-db groff-base dpkg-dev binutils lld file lintian"
[ -n "$EXTRA_PACKAGES" ] && PACKAGES="$PACKAGES $EXTRA_PACKAGES"

missing=""
for package in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing="$missing $package"
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends $missing

#!/bin/sh
# Builds the Debian package into a scratch folder and inspects it: control fields, dependencies found from
# the binaries, the installed tree under /usr, stripped executables, and lintian without errors.
# Usage: debian_package_test.sh BUILD_DIR
set -u
BUILD="$1"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cpack --config "$BUILD/CPackConfig.cmake" -G DEB -B "$scratch" > "$scratch/cpack.log" 2>&1 || {
    cat "$scratch/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb="$scratch/quintrel-tavelle_1.2.6_amd64.deb"
[ -f "$deb" ] || { ls "$scratch"; echo "FAIL: $deb was not built"; exit 1; }

info=$(dpkg-deb --info "$deb")
for field in 'Package: quintrel-tavelle' 'Version: 1.2.6' 'Architecture: amd64' 'Section: graphics' \
             'Recommends: xdg-utils' 'Description: turn still images into one looping animated GIF'; do
    echo "$info" | grep -qF " $field" || fail "control lacks '$field'"; done
# The dependencies come from the libraries the executables link.
for library in libwxgtk3.2-1 libwxbase3.2-1 libimagequant0 libc6 libstdc++6; do
    echo "$info" | grep '^ Depends:' | grep -q "$library" || fail "Depends lacks $library"; done
echo "$info" | grep -q '^  *\.$' || fail "the long description has no paragraph break"

contents=$(dpkg-deb --contents "$deb")
paths=$(echo "$contents" | sed -n 's|.* \./usr/||p')
for path in lib/quintrel-tavelle/bin/quintrel-tavelle lib/quintrel-tavelle/bin/quintrel-gif lib/quintrel-tavelle/option.cfg \
            lib/quintrel-tavelle/Themes/main_frame.xrc lib/quintrel-tavelle/Language/ja/language.mo \
            share/applications/com.quintrel.Tavelle.desktop share/metainfo/com.quintrel.Tavelle.metainfo.xml \
            share/icons/hicolor/48x48/apps/com.quintrel.Tavelle.png share/icons/hicolor/scalable/apps/com.quintrel.Tavelle.svg \
            share/man/man1/quintrel-gif.1.gz share/man/man1/quintrel-tavelle.1.gz share/doc/quintrel-tavelle/copyright \
            share/doc/quintrel-tavelle/changelog.gz 'bin/quintrel-tavelle -> ../lib/quintrel-tavelle/bin/quintrel-tavelle' \
            'bin/quintrel-gif -> ../lib/quintrel-tavelle/bin/quintrel-gif'; do
    echo "$paths" | grep -qxF "$path" || fail "package lacks /usr/$path"; done
echo "$contents" | grep -v ' root/root ' | grep -q . && fail "files not owned by root: $(echo "$contents" | grep -v ' root/root ')"
echo "$contents" | grep -q ' ./usr/local/' && fail "package installs under /usr/local"

dpkg-deb -x "$deb" "$scratch/tree"
for name in quintrel-tavelle quintrel-gif; do
    readelf -S "$scratch/tree/usr/lib/quintrel-tavelle/bin/$name" | grep -q '\.debug_info' && fail "$name is not stripped"; done
grep -qx 'License: GPL-3+' "$scratch/tree/usr/share/doc/quintrel-tavelle/copyright" || fail "copyright names no GPL-3+ licence"
"$scratch/tree/usr/bin/quintrel-gif" --version | grep -qx '1.2.6' || fail "packaged quintrel-gif does not run"

command -v lintian > /dev/null || fail "lintian is not installed (scripts/install-deps.sh installs it)"
lintian --fail-on error "$deb" > "$scratch/lintian.log" 2>&1 || fail "lintian reports errors"
cat "$scratch/lintian.log"

[ "$failures" -eq 0 ] && echo "Debian package: all checks passed"
[ "$failures" -eq 0 ]

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
    echo "$info" | grep -qF " $field" || fail "control lacks '$field'"
done
# The dependencies come from the libraries the executables link.
depends=$(echo "$info" | grep '^ Depends:')
for library in libwxgtk3.2-1 libwxbase3.2-1 libimagequant0 libc6 libstdc++6; do
    echo "$depends" | grep -q "$library" || fail "Depends lacks $library: $depends"
done
echo "$info" | grep -q '^  *\.$' || fail "the long description has no paragraph break"

contents=$(dpkg-deb --contents "$deb")
for path in ./usr/lib/quintrel-tavelle/bin/quintrel-tavelle ./usr/lib/quintrel-tavelle/bin/quintrel-gif \
            ./usr/lib/quintrel-tavelle/option.cfg ./usr/lib/quintrel-tavelle/Themes/main_frame.xrc \
            ./usr/lib/quintrel-tavelle/Language/ja/language.mo \
            ./usr/share/applications/com.quintrel.Tavelle.desktop \
            ./usr/share/metainfo/com.quintrel.Tavelle.metainfo.xml \
            ./usr/share/icons/hicolor/48x48/apps/com.quintrel.Tavelle.png \
            ./usr/share/icons/hicolor/scalable/apps/com.quintrel.Tavelle.svg \
            ./usr/share/man/man1/quintrel-gif.1.gz ./usr/share/man/man1/quintrel-tavelle.1.gz \
            ./usr/share/doc/quintrel-tavelle/copyright ./usr/share/doc/quintrel-tavelle/changelog.gz; do
    echo "$contents" | grep -q " $path\$" || fail "package lacks $path"
done
for name in quintrel-tavelle quintrel-gif; do
    echo "$contents" | grep -q " ./usr/bin/$name -> ../lib/quintrel-tavelle/bin/$name\$" || fail "no link /usr/bin/$name"
done
echo "$contents" | grep -v ' root/root ' | grep -q . && fail "files not owned by root: $(echo "$contents" | grep -v ' root/root ')"
echo "$contents" | grep -q ' ./usr/local/' && fail "package installs under /usr/local"

dpkg-deb -x "$deb" "$scratch/tree"
for name in quintrel-tavelle quintrel-gif; do
    readelf -S "$scratch/tree/usr/lib/quintrel-tavelle/bin/$name" | grep -q '\.debug_info' && fail "$name is not stripped"
done
grep -qx 'License: GPL-3+' "$scratch/tree/usr/share/doc/quintrel-tavelle/copyright" || fail "copyright names no GPL-3+ licence"
"$scratch/tree/usr/bin/quintrel-gif" --version | grep -qx '1.2.6' || fail "packaged quintrel-gif does not run"

if command -v lintian > /dev/null; then
    lintian --fail-on error "$deb" > "$scratch/lintian.log" 2>&1 || { cat "$scratch/lintian.log"; fail "lintian reports errors"; }
    cat "$scratch/lintian.log"
else
    fail "lintian is not installed (scripts/install-deps.sh installs it)"
fi

[ "$failures" -eq 0 ] && echo "Debian package: all checks passed"
[ "$failures" -eq 0 ]

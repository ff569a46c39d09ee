#!/bin/sh
# Installs the build into a scratch DESTDIR, checks the layout and runs the installed programs through their
# links, runs the desktop validators on what was installed, then uninstalls and checks that exactly the
# installed files went. Usage: installed_tree_test.sh BUILD_DIR SOURCE_DIR
set -u
BUILD="$1"
SOURCE="$2"
ID=com.quintrel.Tavelle
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
stage="$scratch/stage"
root="$stage/usr/local"
program="$root/lib/quintrel-tavelle"
gif="$root/bin/quintrel-gif"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Someone else's file in a shared folder, which uninstalling must leave alone.
mkdir -p "$root/share/applications" && echo "[Desktop Entry]" > "$root/share/applications/other.desktop"
DESTDIR="$stage" cmake --install "$BUILD" --prefix /usr/local > "$scratch/install.log" || {
    cat "$scratch/install.log"; echo "FAIL: cmake --install"; exit 1; }
cp "$BUILD/install_manifest.txt" "$scratch/manifest.txt"

for name in quintrel-tavelle quintrel-gif; do
    [ -x "$program/bin/$name" ] && [ ! -L "$program/bin/$name" ] || fail "bin/$name is not an executable under lib/quintrel-tavelle"
    [ "$(readlink "$root/bin/$name")" = "../lib/quintrel-tavelle/bin/$name" ] || fail "bin/$name is not the relative link"
done
for file in option.cfg Themes/main_frame.xrc Themes/about_dialog.xrc Themes/application.ico Themes/play.png \
            Themes/stop.png m_locale_/en/ui.mo Language/en/language.mo Language/de/language.mo Language/fr/language.mo \
            Language/it/language.mo Language/ja/language.mo Language/zh_CN/language.mo Language/zh_TW/language.mo; do
    [ -s "$program/$file" ] || fail "lib/quintrel-tavelle/$file missing"
done

# Each hicolor PNG is as large as the folder it is in says (width and height from the PNG header).
for size in 16 24 32 48 64 128 256; do
    header=$(od -An -tx1 -j16 -N8 "$root/share/icons/hicolor/${size}x${size}/apps/$ID.png" 2>/dev/null | tr -d ' \n')
    [ "$header" = "$(printf '%08x%08x' "$size" "$size")" ] || fail "the ${size}x${size} icon is not that size (header $header)"
done
grep -q '<svg' "$root/share/icons/hicolor/scalable/apps/$ID.svg" || fail "scalable icon missing"

desktop="$root/share/applications/$ID.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx 'Exec=quintrel-tavelle %F' "$desktop" && grep -qx "Icon=$ID" "$desktop" || fail "desktop entry: wrong Exec or Icon"
for type in image/png image/jpeg image/bmp image/gif; do
    grep '^MimeType=' "$desktop" | grep -q "$type;" || fail "desktop entry does not open $type"; done
for language in de fr it ja zh_CN zh_TW; do
    grep -q "^Comment\[$language\]=" "$desktop" && grep -q "^GenericName\[$language\]=" "$desktop" ||
        fail "no comment or generic name in $language"; done
# "Open with" on a picture: the desktop database built from the entry names it for each picture type.
update-desktop-database "$root/share/applications" || fail "update-desktop-database"
grep -q "^image/png=.*$ID.desktop" "$root/share/applications/mimeinfo.cache" || fail "PNG pictures do not offer the program"
rm -f "$root/share/applications/mimeinfo.cache"
appstreamcli validate --no-net "$root/share/metainfo/$ID.metainfo.xml" || fail "appstreamcli validate"

for page in quintrel-tavelle quintrel-gif; do
    file="$root/share/man/man1/$page.1.gz"
    warnings=$(MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man warnings in $page.1: $warnings"
    lexgrog "$file" | grep -q "\"$page - " || fail "lexgrog finds no NAME line in $page.1"
    for section in NAME SYNOPSIS DESCRIPTION OPTIONS 'EXIT STATUS' EXAMPLES; do
        zcat "$file" | grep -q "^\.SH \"*$section" || fail "$page.1 has no $section section"; done
done
# Every option the exporter's help names is described in its manual page.
options=$("$gif" --help | grep -oE '(^|[ ,])--?[A-Za-z][A-Za-z-]*' | tr -d ' ,' | sort -u)
[ -n "$options" ] || fail "quintrel-gif --help names no options"
page=$(zcat "$root/share/man/man1/quintrel-gif.1.gz" | sed 's/\\-/-/g')
for option in $options; do
    echo "$page" | grep -qE -- "^\.(B|BI|BR) (.*[ \"])?$option([ \"]|\$)" || fail "quintrel-gif.1 does not describe $option"; done

[ "$("$gif" --version)" = "1.2.6" ] || fail "installed quintrel-gif --version says '$("$gif" --version)'"
"$gif" -d 20 -o "$scratch/two.gif" "$program/Themes/play.png" "$program/Themes/stop.png" 2> "$scratch/gif.log" ||
    { cat "$scratch/gif.log"; fail "installed quintrel-gif could not export two pictures"; }
[ "$(head -c 6 "$scratch/two.gif" 2>/dev/null)" = "GIF89a" ] || fail "the export is not a GIF89a file"
# Two frames: two image descriptors, each right after a graphic control extension with the 0.20 s delay.
frames=$(od -An -tx1 -v "$scratch/two.gif" | tr -d '\n' | grep -o '21 f9 04 00 14 00 00 00 2c' | wc -l)
[ "$frames" -eq 2 ] || fail "the export holds $frames frames of 0.20 s, not 2"

# Started through its link, the program finds its layout beside the real executable: it keeps running
# until stopped instead of exiting with "cannot start".
if command -v xvfb-run > /dev/null; then
    HOME="$scratch/home" xvfb-run -a -s "-screen 0 1024x768x24" timeout 5 "$root/bin/quintrel-tavelle" > "$scratch/run.log" 2>&1
    status=$?
    [ "$status" -eq 124 ] || { cat "$scratch/run.log"; fail "installed quintrel-tavelle ended with $status"; }
fi

DESTDIR="$stage" cmake -DMANIFEST="$scratch/manifest.txt" -P "$SOURCE/packaging/uninstall.cmake" > "$scratch/uninstall.log" ||
    fail "uninstall"
left=$(cd "$stage" && find . ! -type d | sort)
[ "$left" = "./usr/local/share/applications/other.desktop" ] || fail "after uninstalling, left: $left"
[ ! -e "$program" ] || fail "lib/quintrel-tavelle is still there after uninstalling"

[ "$failures" -eq 0 ] && echo "installed tree: all checks passed"
[ "$failures" -eq 0 ]

#!/bin/sh
# Writes the catalog templates from the sources into OUTPUT_DIR:
#   language.pot  every key the program translates (code and XRC layouts), for the "language" catalogs;
#   ui.pot        the XRC layouts' texts, which the start-up "ui" catalog translates when they load.
# Refresh a catalog after adding texts:
#   resources/po/extract-keys.sh . resources/po && msgmerge -U --backup=none resources/po/language/de.po \
#       resources/po/language.pot
# Usage: extract-keys.sh SOURCE_DIR OUTPUT_DIR
set -eu
source_dir=$(cd "$1" && pwd)
output_dir=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Texts reach the translation lookup directly or through the helpers below, which take a key and look it
# up themselves; a key kept in a variable or constant is marked where it is written with wxTRANSLATE.
keywords="--keyword=_ --keyword=wxGetTranslation --keyword=wxTRANSLATE --keyword=wxPLURAL:1,2
          --keyword=AppendItem:2 --keyword=MenuLabel:1 --keyword=AskForImages:2 --keyword=AskGifPath:2
          --keyword=AskToSaveProject:1"

cd "$source_dir"
find app window project cli picture -name '*.cpp' -o -name '*.h' | LC_ALL=C sort > "$work/code-files"
for layout in resources/themes/*.xrc; do
    wxrc --gettext "$layout"
done > "$work/layouts.cpp"

common="--language=C++ --from-code=UTF-8 --add-comments=TRANSLATORS: --sort-by-file --package-name=quintrel-tavelle"
# shellcheck disable=SC2086
xgettext $common $keywords --keyword=_ -o "$work/ui.pot" "$work/layouts.cpp"
# shellcheck disable=SC2086
xgettext $common $keywords -f "$work/code-files" -o "$work/code.pot"
msgcat --use-first "$work/code.pot" "$work/ui.pot" -o "$work/language.pot"

# The layouts' references point at the generated file; name the layout files instead.
for template in ui language; do
    sed "s|$work/layouts.cpp|resources/themes/*.xrc|g" "$work/$template.pot" > "$output_dir/$template.pot"
done

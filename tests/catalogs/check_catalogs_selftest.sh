#!/bin/sh
# The catalog check must catch each kind of fault: it runs on a copy of the catalogs and layouts with a
# small source tree, first intact (must pass), then with one fault at a time (must fail and name it).
# Usage: check_catalogs_selftest.sh SOURCE_DIR
set -eu
source_dir=$(cd "$1" && pwd)
checker=$(cd "$(dirname "$0")" && pwd)/check_catalogs.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

make_tree() {
    rm -rf "$work/tree"
    mkdir -p "$work/tree/resources" "$work/tree/app" "$work/tree/window" "$work/tree/project" "$work/tree/cli"
    cp -r "$source_dir/resources/po" "$source_dir/resources/themes" "$work/tree/resources/"
    # Every key the real sources use, so that the intact copy is complete.
    (cd "$source_dir" && sh resources/po/extract-keys.sh . "$work")
    sed -n 's/^msgid "\(..*\)"$/    wxGetTranslation("\1");/p' "$work/language.pot" > "$work/tree/app/keys.cpp"
}

expect() {  # DESCRIPTION EXPECTED-OUTPUT
    if output=$(sh "$checker" "$work/tree" 2>&1); then
        echo "FAIL: the check passed with $1"
        failures=$((failures + 1))
    elif ! printf '%s\n' "$output" | grep -q -- "$2"; then
        echo "FAIL: with $1 the check did not say \"$2\":"
        printf '%s\n' "$output"
        failures=$((failures + 1))
    else
        echo "ok: $1"
    fi
}

edit() {  # FILE SED-SCRIPT
    sed -i "$2" "$work/tree/resources/po/$1"
}

make_tree
if sh "$checker" "$work/tree" > "$work/intact.log" 2>&1; then
    echo "ok: intact catalogs pass"
else
    cat "$work/intact.log"
    echo "FAIL: the intact catalogs do not pass"
    failures=$((failures + 1))
fi

make_tree
echo '    wxGetTranslation("A text nobody translated");' >> "$work/tree/app/keys.cpp"
expect "a new key in the sources" "A text nobody translated"

make_tree
printf '<resource><object class="wxDialog" name="D"><title>A new title</title></object></resource>\n' \
    > "$work/tree/resources/themes/new.xrc"
expect "a new key in a layout" "A new title"

make_tree
edit language/de.po '/^msgid "Save Project"$/{n;s/.*/msgstr ""/}'
expect "an untranslated key" "de.po lacks translations"

make_tree
edit language/fr.po 's/^msgid "Exit"$/#, fuzzy\nmsgid "Exit"/'
expect "a fuzzy translation" "fr.po lacks translations"

make_tree
edit language/it.po 's/^msgstr "Salva con nome"$/msgstr "Save As"/'
expect "an English text copied into a catalog" "English text not marked"

make_tree
edit language/ja.po 's/^msgstr "削除(&D)"$/msgstr "削除"/'
expect "a lost menu mnemonic" "menu mnemonic differs"

make_tree
edit language/zh_TW.po 's/^"\(請將.*\)\\n"$/"\1"/'
expect "a lost line break" "line breaks differ"

make_tree
edit language/zh_CN.po 's/^"无法写入文件 %s：\\n"$/"无法写入文件：\\n"/'
expect "a lost format" "printf formats differ"

make_tree
rm "$work/tree/resources/po/language/de.po"
expect "a missing catalog" "no catalog"

make_tree
rm "$work/tree/resources/po/ui/en.po"
expect "a missing start-up catalog" "no start-up catalog"

echo "catalog check self-test: $failures failed"
[ "$failures" -eq 0 ]

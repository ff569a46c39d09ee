#!/bin/sh
# Every text the sources and layouts translate must be in every catalog, translated (not empty, not
# fuzzy), with its printf formats, line breaks, tabs and menu mnemonic kept. A translation identical to
# the English text must say so ("# Same as English in this language."), so that a copied-in English
# text does not pass for a translation.
# Usage: check_catalogs.sh SOURCE_DIR
set -eu
source_dir=$1
po_dir=$source_dir/resources/po
check_entries=$(dirname "$0")/check_entries.awk
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sh "$po_dir/extract-keys.sh" "$source_dir" "$work"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

check_catalog() {  # CATALOG.po TEMPLATE.pot ENGLISH(yes|no)
    po=$1
    msgfmt --check-format -o /dev/null "$po" || fail "$po does not compile"
    # Keys missing from the catalog, and keys there but untranslated or fuzzy; extra keys are fine.
    msgmerge --quiet --no-fuzzy-matching --output-file="$work/merged.po" "$po" "$2"
    msgattrib --clear-fuzzy --empty "$work/merged.po" | msgattrib --untranslated --no-obsolete |
        msgexec --input=- sh -c '[ -n "$MSGEXEC_MSGID" ] && printf "%s\n" "$MSGEXEC_MSGID" || true' > "$work/missing"
    if [ -s "$work/missing" ]; then
        sed 's/^/    /' "$work/missing"
        fail "$po lacks translations of the keys above"
    fi
    awk -v english="$3" -f "$check_entries" "$po" || fail "$po has damaged entries (above)"
}

for language in zh_CN zh_TW de en fr it ja; do
    po=$po_dir/language/$language.po
    if [ -f "$po" ]; then
        check_catalog "$po" "$work/language.pot" "$([ "$language" = en ] && echo yes || echo no)"
    else
        fail "no catalog $po"
    fi
done
if [ -f "$po_dir/ui/en.po" ]; then
    check_catalog "$po_dir/ui/en.po" "$work/ui.pot" yes
else
    fail "no start-up catalog $po_dir/ui/en.po"
fi

keys=$(($(grep -c '^msgid ' "$work/language.pot") - 1))
echo "$keys keys of the sources and layouts checked in 7 language catalogs and the start-up catalog: $failures failed"
[ "$failures" -eq 0 ]

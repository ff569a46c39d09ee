#!/bin/sh
# Every text the sources and layouts translate must be in every catalog, translated (not empty, not
# fuzzy), with its printf formats, line breaks, tabs and menu mnemonic kept. A translation identical to
# the English text must say so ("# Same as English in this language."), so that a copied-in English
# text does not pass for a translation.
# Usage: check_catalogs.sh SOURCE_DIR
set -eu
po_dir=$1/resources/po
check_entries=$(dirname "$0")/check_entries.awk
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sh "$po_dir/extract-keys.sh" "$1" "$work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

check_catalog() {  # CATALOG.po TEMPLATE.pot ENGLISH(yes|no)
    [ -f "$1" ] || { fail "no catalog $1"; return; }
    msgfmt --check-format -o /dev/null "$1" || fail "$1 does not compile"
    # Keys missing from the catalog, and keys there but untranslated or fuzzy; extra keys are fine.
    msgmerge --quiet --no-fuzzy-matching --output-file="$work/merged.po" "$1" "$2"
    msgattrib --clear-fuzzy --empty "$work/merged.po" | msgattrib --untranslated --no-obsolete |
        msgexec --input=- sh -c '[ -n "$MSGEXEC_MSGID" ] && printf "    %s\n" "$MSGEXEC_MSGID" || true' > "$work/missing"
    [ -s "$work/missing" ] && cat "$work/missing" && fail "$1 lacks translations of the keys above"
    awk -v english="$3" -f "$check_entries" "$1" || fail "$1 has damaged entries (above)"
}

for language in zh_CN zh_TW de en fr it ja; do
    check_catalog "$po_dir/language/$language.po" "$work/language.pot" "$([ "$language" = en ] && echo yes || echo no)"
done
check_catalog "$po_dir/ui/en.po" "$work/ui.pot" yes
keys=$(($(grep -c '^msgid ' "$work/language.pot") - 1))
echo "$keys keys of the sources and layouts checked in 7 language catalogs and the start-up catalog: $failures failed"
[ "$failures" -eq 0 ]

# Checks each entry of one catalog: the translation keeps the key's printf formats, line breaks, tabs and
# menu mnemonic; with -v english=no a translation equal to its key must carry the comment
# "# Same as English in this language.". Works on the escaped text as written in the file.
# Prints one line per damaged entry and exits 1 when there was any.

function unquote(text) {
    sub(/^[ \t]*"/, "", text)
    sub(/"[ \t]*$/, "", text)
    return text
}

# `pattern` is a regular expression in a string: a /literal/ argument would be matched against $0.
function occurrences(text, pattern) { return gsub(pattern, "", text) }

function formats(text,    found, list, i, j, n, swap) {
    n = 0
    while (match(text, /%[-+ #0-9.]*[a-zA-Z%]/)) {
        list[++n] = substr(text, RSTART, RLENGTH)
        text = substr(text, RSTART + RLENGTH)
    }
    for (i = 2; i <= n; i++)
        for (j = i; j > 1 && list[j - 1] > list[j]; j--) {
            swap = list[j]; list[j] = list[j - 1]; list[j - 1] = swap
        }
    found = ""
    for (i = 1; i <= n; i++)
        found = found " " list[i]
    return found
}

function problem(what) {
    printf "FAIL: %s:%d: %s in \"%s\"\n", FILENAME, line, what, key
    damaged++
}

function finish() {
    if (part != "" && key != "" && translation != "") {
        if (occurrences(key, "\\\\n") != occurrences(translation, "\\\\n")) problem("line breaks differ")
        if (occurrences(key, "\\\\t") != occurrences(translation, "\\\\t")) problem("tabs differ")
        if (occurrences(key, "&") != occurrences(translation, "&")) problem("menu mnemonic differs")
        if (formats(key) != formats(translation)) problem("printf formats differ")
        if (english == "no" && key == translation && !same)
            problem("English text not marked as the same in this language")
    }
    part = ""; key = ""; translation = ""; same = 0
}

/^# Same as English in this language\./ { same = 1; next }
/^#/ { next }
/^msgid / { part = "key"; key = unquote(substr($0, 7)); line = FNR; next }
/^msgstr / { part = "translation"; translation = unquote(substr($0, 8)); next }
/^[ \t]*"/ {
    if (part == "key") key = key unquote($0)
    else if (part == "translation") translation = translation unquote($0)
    next
}
/^[ \t]*$/ { finish() }
END {
    finish()
    exit damaged > 0
}

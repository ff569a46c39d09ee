#!/bin/sh
# Prints the non-blank, non-comment lines of the tests against those of the production folders, and their
# ratio. The suite is meant to stay between a quarter and a third of the code (0.25-0.40).
cd "$(dirname "$0")/.."

count() {
    find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' -o -name '*.hpp' -o -name '*.cc' \
        -o -name '*.sh' -o -name '*.py' -o -name '*.cmake' -o -name 'CMakeLists.txt' \) -print0 2>/dev/null |
    xargs -0 -r awk '
        FNR == 1 { block = 0; hash = (FILENAME ~ /\.(sh|py|cmake)$|CMakeLists\.txt$/) }
        {
            line = $0
            if (block) { if (sub(/.*\*\//, "", line)) block = 0; else next }
            if (!hash) {
                while (match(line, /\/\*/)) {
                    rest = substr(line, RSTART + 2)
                    if (match(rest, /\*\//)) line = substr(line, 1, index(line, "/*") - 1) substr(rest, RSTART + 2)
                    else { line = substr(line, 1, index(line, "/*") - 1); block = 1; break }
                }
                sub(/^[ \t]*\/\/.*/, "", line)
            } else {
                sub(/^[ \t]*#.*/, "", line)
            }
            if (line ~ /[^ \t\r]/) n++
        }
        END { print n + 0 }'
}

code=$(count app window project cli picture)
tests=$(count tests)
echo "code: $code lines (app/ window/ project/ cli/ picture/), tests: $tests lines (tests/)"
awk -v t="$tests" -v c="$code" 'BEGIN { printf "test ratio: %.2f (goal 0.25-0.40)\n", (c ? t / c : 0) }'

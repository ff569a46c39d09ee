#!/bin/sh
# Runs one build's suite: headless tests in parallel, window tests serially under an Xvfb of their own.
set -e
BUILD="$1"
KIND="${2:-plain}"
if [ "$KIND" = sanitized ]; then
    # Leaks are checked; what GTK, GLib, fontconfig and the toolkit keep for the life of the process is
    # listed, and only that, in lsan-suppressions.txt.
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
    export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/lsan-suppressions.txt:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
echo "== $KIND suite ($BUILD)"
cd "$BUILD"
ctest -L headless -j 2 --output-on-failure
xvfb-run -a -s "-screen 0 1280x1024x24" ctest -L gui --output-on-failure

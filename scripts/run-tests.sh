#!/bin/sh
# Runs one build's suite: headless tests in parallel, window tests serially under an Xvfb of their own.
set -e
BUILD="$1"
KIND="${2:-plain}"
if [ "$KIND" = sanitized ]; then
    # GTK and fontconfig keep allocations for the life of the process; leak checks would only see those.
    export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
echo "== $KIND suite ($BUILD)"
cd "$BUILD"
ctest -L headless -j 2 --output-on-failure
xvfb-run -a -s "-screen 0 1280x1024x24" ctest -L gui --output-on-failure

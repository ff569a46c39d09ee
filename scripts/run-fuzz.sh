#!/bin/sh
# Runs every fuzz target of a fuzz build for the given seconds on its checked-in corpus; new inputs go
# to a scratch corpus in the build tree, crashing inputs to BUILD/fuzz-artifacts/. Prints each target's
# executions and fails when any target found a crash.
# Usage: scripts/run-fuzz.sh BUILD SECONDS
set -u
BUILD="${1:?usage: scripts/run-fuzz.sh BUILD SECONDS}"
SECONDS_EACH="${2:?usage: scripts/run-fuzz.sh BUILD SECONDS}"
HERE=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$BUILD/fuzz-artifacts"
failed=0
summary=""
for target in "$BUILD"/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus="$HERE/fuzz/corpus/$name"
    scratch="$BUILD/fuzz-corpus/$name"
    log="$BUILD/fuzz-artifacts/$name.log"
    mkdir -p "$corpus" "$scratch"
    echo "== $name for $SECONDS_EACH s"
    if "$target" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=4096 -max_len=65536 -print_final_stats=1 \
        -artifact_prefix="$BUILD/fuzz-artifacts/$name-" "$scratch" "$corpus" >"$log" 2>&1; then
        result="ok"
    else
        result="FAILED (see $log)"
        failed=1
        tail -n 40 "$log"
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    summary="$summary$name: ${runs:-?} executions, $result
"
done
printf '%s' "$summary"
exit $failed

#!/bin/sh
# Runs every fuzz target for a bounded time and prints what each did.
#   fuzz/run.sh [target...]     (default: all of them)
#   FUZZ_SECONDS=N              time per target, 60 by default
# Expects build/fuzz to be built (make fuzz does that first). Each target
# works on its own copy of the seeds under build/fuzz/corpus/, which keeps what
# it learns from one run to the next; fuzz/corpus/ is only ever read. A finding
# is saved under build/fuzz/findings/ and makes the script exit non-zero.
set -eu
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
case $seconds in '' | *[!0-9]*) echo "fuzz: FUZZ_SECONDS must be a whole number of seconds" >&2; exit 2 ;; esac
targets=${*:-lookup find delta number cstring}
build=build/fuzz
mkdir -p "$build/findings" "$build/logs"

summary=""
failed=0
for target in $targets; do
    program=$build/fuzz_$target
    if [ ! -x "$program" ]; then
        echo "fuzz: $program is missing; build it with 'make fuzz'" >&2
        exit 2
    fi
    corpus=$build/corpus/$target
    mkdir -p "$corpus"
    cp -p fuzz/corpus/"$target"/* "$corpus"/
    log=$build/logs/$target.log
    echo "fuzz: $target for ${seconds}s"
    status=0
    "$program" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$build/findings/$target-" "$corpus" >"$log" 2>&1 || status=$?

    # libFuzzer ends a clean run with "Done N runs in S second(s)".
    runs=$(sed -n 's/^Done \([0-9]*\) runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n 1)
    took=$(sed -n 's/^Done \([0-9]*\) runs in \([0-9]*\) second.*/\2/p' "$log" | tail -n 1)
    files=$(find "$corpus" -type f | wc -l)
    if [ "$status" -eq 0 ] && [ -n "$runs" ]; then
        result=ok
    else
        failed=1
        result="FINDING (exit $status)"
        # A crash has no "Done" line: take the last progress count instead.
        runs=$(sed -n 's/^#\([0-9]*\).*/\1/p' "$log" | tail -n 1)
        took="-"
        sed -n '/^==[0-9]*==ERROR\|check failed\|runtime error\|^SUMMARY\|Test unit written to/p' "$log" | head -n 8 >&2
        echo "fuzz: whole log in $log" >&2
    fi
    per_second="-"
    if [ -n "$runs" ] && [ "$took" != "-" ] && [ "${took:-0}" -gt 0 ]; then per_second=$((runs / took)); fi
    summary="$summary$(printf '%-14s %12s %8s %10s %7s  %s' "fuzz_$target" "${runs:--}" "$took" "$per_second" "$files" "$result")
"
done

echo
printf '%-14s %12s %8s %10s %7s  %s\n' target runs seconds "runs/s" corpus result
printf '%s' "$summary"
if [ "$failed" -ne 0 ]; then
    echo "fuzz: findings are in $build/findings/" >&2
    exit 1
fi

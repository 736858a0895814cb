#!/bin/sh
# test-summary.sh BUILD_DIR: after a CTest run, the closing lines: how many
# steps the UI drivers retried, where any were (each for a cause outside the
# program, and printed as it happened), and a line for each reason tests were
# skipped (a package this machine cannot have), naming the tests and why.
set -eu
log="$1/Testing/Temporary/LastTest.log"
[ -f "$log" ] || exit 0
# The drivers' tallies: '[  RETRY   ] tally: N retries', then a line a kind.
awk '/^\[  RETRY   \] tally: / { n += $5 } /^\[  RETRY   \]   [0-9]+ x / { sub(/^\[  RETRY   \]   [0-9]+ x /, ""); kinds[$0] = 1 }
    END { if (n) { printf "make test: the UI drivers retried %d steps (see the tests'"'"' output):", n; for (k in kinds) printf " %s;", k; print "" } }' "$log"
# Each test's block opens with 'N/M Test: NAME'; a test that is skipped
# exits 77 at once, with the one line 'skipped: REASON' as all its output
# (the log itself calls it passed).
awk '
    /^[0-9]+\/[0-9]+ Test: / { name = $3; line = -1 }
    /^Output:$/ { line = 0; next }
    line >= 0 && /^-+$/ && line == 0 { next }
    line >= 0 { line++; if (line == 1 && /^skipped: /) print name "\t" substr($0, 10) }
' "$log" >"$log.skipped"
[ -s "$log.skipped" ] || { rm -f "$log.skipped"; exit 0; }
# One line for each reason: the tests it kept from running, then why.
echo
awk -F '\t' '{ names[$2] = names[$2] (names[$2] == "" ? "" : ", ") $1 }
    END { for (why in names) printf "make test: not tested: %s: %s\n", names[why], why }' "$log.skipped"
rm -f "$log.skipped"

#!/bin/sh
# not-tested.sh BUILD_DIR: after a CTest run, a closing line for each reason
# tests were skipped (a package this machine cannot have), naming the tests
# and the reason they printed. Prints nothing when every test ran.
set -eu
log="$1/Testing/Temporary/LastTest.log"
[ -f "$log" ] || exit 0
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

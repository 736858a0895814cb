#!/bin/sh
# not-tested.sh BUILD_DIR: after a CTest run, one line naming each test that
# was skipped and the reason it printed (a package this machine cannot have),
# and a closing line that sums them up. Prints nothing when every test ran.
set -eu
log="$1/Testing/Temporary/LastTest.log"
[ -f "$log" ] || exit 0
# Each test's block opens with 'N/M Test: NAME' and its output holds the
# 'skipped: REASON' line; CTest closes a skipped test's block with 'Test Skipped'.
awk '
    /^[0-9]+\/[0-9]+ Test: / { name = $3; reason = "" }
    /^skipped: / && reason == "" { reason = substr($0, 10) }
    /^Test Skipped/ { print name "\t" reason }
' "$log" >"$log.skipped"
[ -s "$log.skipped" ] || { rm -f "$log.skipped"; exit 0; }
echo
echo "Not tested:"
sort -t "$(printf '\t')" -k2 "$log.skipped" | awk -F '\t' '{ printf "  %s: %s\n", $1, ($2 == "" ? "skipped" : $2) }'
# The closing line: how many, and each reason once.
count=$(wc -l <"$log.skipped")
reasons=$(cut -f2 "$log.skipped" | sort -u | paste -sd ';' | sed 's/;/; /g')
echo "make test: $count tests not run: $reasons"
rm -f "$log.skipped"

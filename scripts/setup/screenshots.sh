#!/bin/sh
# Renders the launcher, the About box and each tool in use under Wine on a
# virtual display, through the same driver as the tests, into docs/screenshots.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
shots="$root/build/screenshots-docs"
rm -rf "$shots"
mkdir -p "$shots" "$root/docs/screenshots"

"$root/scripts/test/test-session.sh" start
trap '"$root/scripts/test/test-session.sh" stop' EXIT
"$root/scripts/test/wine-test.sh" "$root/build/win64/tests/driver/ui_driver_test.exe" \
    "$root/build/win64/Tarrowby.exe" "$shots" >"$shots/driver.log" 2>&1 ||
    { tail -20 "$shots/driver.log"; exit 1; }

for name in launcher about_box charge_delta current_finder tessary_lookup token_table; do
    # Recompressed, with no time chunks, so an unchanged look gives unchanged files.
    convert "$shots/$name.png" -strip -define png:exclude-chunks=date,time \
        -define png:compression-level=9 "$root/docs/screenshots/$name.png"
    echo "docs/screenshots/$name.png"
done

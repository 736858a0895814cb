#!/bin/sh
# Runs one Windows test program under Wine in the test session (prefix and
# display), with the loader its build needs.
#
# wine-test.sh [--i386] <program.exe> [arguments...]
# --i386: the run needs 32-bit programs (it runs or drives one). Where they
# cannot run here, the run is skipped: exit code 77, with the reason.
set -eu
. "$(dirname "$0")/wine-env.sh"
. "$(dirname "$0")/i386.sh"
if [ "${1:-}" = --i386 ]; then
    shift
    why=$(wine32_missing)
    if [ -n "$why" ]; then
        echo "skipped: $why (see scripts/setup.sh)"
        exit 77
    fi
fi
# Tells a test that 32-bit programs run emulated, and so much slower.
if i386_emulated; then export TARROWBY_I386_EMULATED=1; fi
export WINEPREFIX="$ROOT/build/wine-test"
session="$ROOT/build/test-session"
if [ -f "$session/display" ]; then
    DISPLAY=$(cat "$session/display")
    export DISPLAY
fi
exec "$(wine_loader "$1")" "$@"

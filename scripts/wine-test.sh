#!/bin/sh
# Runs one Windows test program under Wine in the test session (prefix and display).
set -eu
. "$(dirname "$0")/wine-env.sh"
export WINEPREFIX="$ROOT/build/wine-test"
session="$ROOT/build/test-session"
if [ -f "$session/display" ]; then
    DISPLAY=$(cat "$session/display")
    export DISPLAY
fi
exec wine "$@"

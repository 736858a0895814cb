#!/bin/sh
# Runs one Windows test program under Wine on a desktop with a window manager,
# as many people have it: a virtual display of its own with openbox on it, and
# a prefix of its own (build/wine-wm) that lets openbox manage Wine's windows.
# Everything it starts it stops again.
#
# wine-wm-test.sh <program.exe> [arguments...]
# Skipped (exit code 77) where openbox is missing.
set -eu
. "$(dirname "$0")/../setup/wine-env.sh"
if ! command -v openbox >/dev/null 2>&1; then
    echo "skipped: openbox is not installed (see scripts/setup/setup.sh)"
    exit 77
fi
ensure_wine_prefix "$ROOT/build/wine-wm" managed
start_virtual_display 110
stop() {
    wineserver -k 2>/dev/null || true
    kill ${WM_PID:-} "$XVFB_PID" 2>/dev/null || true
}
trap stop EXIT
trap 'exit 1' INT TERM
start_window_manager
export TARROWBY_WINDOW_MANAGER=openbox
"$(wine_loader "$1")" "$@"

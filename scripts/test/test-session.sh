#!/bin/sh
# start [lane...] | stop: the Wine prefixes and virtual displays that the
# Windows tests run in. Run by CTest as the set-up and clean-up of those tests;
# nothing is left running.
#
# A lane is a prefix and a display of its own, with its own wineserver, so that
# tests in different lanes run side by side without sharing focus, input or
# windows. Lanes: win64 (the project's test prefix, the default), dpi120 and
# dpi144 (copies set to that many dots per inch), and any other name (a copy).
set -eu
. "$(dirname "$0")/../setup/wine-env.sh"
session="$ROOT/build/test-session"
mkdir -p "$session"

# The prefix of a lane, made or brought up to date.
lane_prefix() {
    case $1 in
    win64) ensure_wine_prefix "$ROOT/build/wine-test" ;;
    dpi*) ensure_prefix_copy "$ROOT/build/wine-test" "$ROOT/build/wine-test-$1" \
        'HKCU\Control Panel\Desktop' LogPixels REG_DWORD "${1#dpi}" ;;
    *) ensure_prefix_copy "$ROOT/build/wine-test" "$ROOT/build/wine-test-$1" ;;
    esac
}

case "${1:-}" in
start)
    shift
    [ $# -gt 0 ] || set -- win64
    lane_prefix win64
    for lane in "$@"; do
        dir="$session/$lane"
        mkdir -p "$dir"
        if [ -f "$dir/xvfb.pid" ] && kill -0 "$(cat "$dir/xvfb.pid")" 2>/dev/null; then continue; fi
        # One after the other: two servers started at once could take one number.
        start_virtual_display 87
        echo "$XVFB_PID" >"$dir/xvfb.pid"
        echo "$DISPLAY" >"$dir/display"
    done
    # Each lane's wineserver and Wine's own services, started side by side and
    # kept for the whole session, so that each test starts quickly. They must
    # not hold CTest's output pipe open, hence the redirections.
    pids=""
    for lane in "$@"; do
        (
            [ "$lane" = win64 ] || lane_prefix "$lane"
            echo "$WINEPREFIX" >"$session/$lane/prefix"
            DISPLAY=$(cat "$session/$lane/display")
            export DISPLAY
            wineserver -p </dev/null >/dev/null 2>&1 || true  # already running: kept
            "$WINE64" cmd.exe /c exit </dev/null >/dev/null 2>&1
        ) &
        pids="$pids $!"
    done
    for pid in $pids; do wait "$pid"; done
    ;;
stop)
    for prefix in "$ROOT"/build/wine-test*; do
        [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    done
    for pid in "$session"/*/xvfb.pid; do
        [ -f "$pid" ] || continue
        kill "$(cat "$pid")" 2>/dev/null || true
        rm -f "$pid" "${pid%/*}/display"
    done
    ;;
*)
    echo "usage: $0 start [lane...] | stop" >&2
    exit 2
    ;;
esac

#!/bin/sh
# start | stop: the Wine prefix and virtual display that the Windows tests share.
# Run by CTest as the set-up and clean-up of those tests; nothing is left running.
set -eu
. "$(dirname "$0")/wine-env.sh"
session="$ROOT/build/test-session"
mkdir -p "$session"
case "${1:-}" in
start)
    ensure_wine_prefix "$ROOT/build/wine-test"
    if [ -f "$session/xvfb.pid" ] && kill -0 "$(cat "$session/xvfb.pid")" 2>/dev/null; then exit 0; fi
    start_virtual_display 87
    echo "$XVFB_PID" >"$session/xvfb.pid"
    echo "$DISPLAY" >"$session/display"
    # One wineserver and one set of Wine's own services for the whole session,
    # so each test starts quickly. They must not hold CTest's output pipe open,
    # hence the redirections.
    wineserver -p </dev/null >/dev/null 2>&1
    "$WINE64" cmd.exe /c exit </dev/null >/dev/null 2>&1
    ;;
stop)
    for prefix in "$ROOT"/build/wine-test*; do
        [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    done
    if [ -f "$session/xvfb.pid" ]; then
        kill "$(cat "$session/xvfb.pid")" 2>/dev/null || true
        rm -f "$session/xvfb.pid" "$session/display"
    fi
    ;;
*)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac

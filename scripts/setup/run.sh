#!/bin/sh
# run.sh [native|win64|win32]: starts the native Linux program (the default),
# or the 64-bit or the 32-bit Windows program under Wine in the project's own
# prefix. On a desktop it opens on the user's display; with none, on a virtual
# display, with a screenshot of the launcher saved under build/, and runs
# until Ctrl-C.
set -eu
here=$(dirname "$0")
ROOT=$(cd "$here/../.." && pwd)
build=${1:-native}
case "$build" in
native | win64 | win32) ;;
*) echo "usage: $0 [native|win64|win32]" >&2; exit 2 ;;
esac

# The native launcher's window on the virtual display once it is there and
# drawn (an undrawn window is one plain colour): its id; nothing before.
launcher_drawn() {
    window=$(xwininfo -root -tree 2>/dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) "Tarrowby Companion".*/\1/p' | head -n 1)
    [ -n "$window" ] || return 1
    colours=$(import -window "$window" png:- 2>/dev/null | convert png:- -format %k info: 2>/dev/null || echo 0)
    [ "$colours" -gt 8 ] && echo "$window"
}

# Waits for the launcher of the native program $1 (a process id) on the
# virtual display, photographs it into $2 and waits for the program to end.
show_on_virtual_display() {
    tries=0
    until window=$(launcher_drawn); do
        kill -0 "$1" 2>/dev/null || { echo "the program ended before its launcher appeared" >&2; exit 1; }
        tries=$((tries + 1))
        [ $tries -gt 300 ] && { echo "the launcher did not appear" >&2; exit 1; }
        sleep 0.2
    done
    import -window "$window" "$2"
    echo "No display here: Tarrowby Companion runs on the virtual display $DISPLAY."
    echo "Screenshot of the launcher: $2"
    echo "Press Ctrl-C to stop it."
    wait "$1"
}

if [ "$build" = native ]; then
    program="$ROOT/build/host/qt/tarrowby"
    # On a desktop, Wayland or X11, Qt takes the session's own.
    if [ -n "${WAYLAND_DISPLAY:-}" ] || { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }; then
        exec "$program"
    fi
    . "$here/wine-env.sh"  # for its virtual display alone
    start_virtual_display 90
    QT_QPA_PLATFORM=xcb "$program" </dev/null >/dev/null 2>&1 &
    program_pid=$!
    trap 'kill "$program_pid" "$XVFB_PID" 2>/dev/null' EXIT
    trap 'exit 130' INT TERM
    show_on_virtual_display "$program_pid" "$ROOT/build/launcher-native.png"
    exit 0
fi

. "$here/wine-env.sh"
. "$here/i386.sh"
if [ "$build" = win32 ]; then
    why=$(wine32_missing)
    [ -z "$why" ] || { echo "run: the 32-bit program cannot run here: $why" >&2; exit 1; }
fi
program="$ROOT/build/$build/Tarrowby.exe"
loader=$(wine_loader "$program")

# On a desktop the window manager manages the windows; Wine draws the captions,
# so a click on the caption's icon opens the system menu with the About box.
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    ensure_wine_prefix "$ROOT/build/wine-run" managed
    exec "$loader" "$program"
fi

ensure_wine_prefix "$ROOT/build/wine-run"
start_virtual_display 90
trap 'wineserver -k 2>/dev/null; kill "$XVFB_PID" 2>/dev/null' EXIT INT TERM
"$loader" "$program" </dev/null >/dev/null 2>&1 &
# Give the launcher time to open and draw, then photograph the screen.
tries=0
until xwininfo -root -tree 2>/dev/null | grep -q '"Tarrowby Companion"'; do
    tries=$((tries + 1))
    [ $tries -gt 150 ] && { echo "the launcher did not appear" >&2; exit 1; }
    sleep 0.2
done
sleep 1
shot="$ROOT/build/launcher-$build.png"
window=$(xwininfo -root -tree | sed -n 's/^ *\(0x[0-9a-f]*\) "Tarrowby Companion".*/\1/p' | head -n 1)
import -window "$window" "$shot"
echo "No display here: Tarrowby Companion runs on the virtual display $DISPLAY."
echo "Screenshot of the launcher: $shot"
echo "Press Ctrl-C to stop it."
wait

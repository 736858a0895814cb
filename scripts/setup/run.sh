#!/bin/sh
# run.sh [win64|win32]: starts the 64-bit (default) or the 32-bit program
# under Wine in the project's own prefix. On a desktop it opens on the user's
# display; with none, on a virtual display, with a screenshot of the launcher
# saved under build/.
set -eu
. "$(dirname "$0")/wine-env.sh"
. "$(dirname "$0")/i386.sh"
build=${1:-win64}
case "$build" in
win64) ;;
win32)
    why=$(wine32_missing)
    [ -z "$why" ] || { echo "run: the 32-bit program cannot run here: $why" >&2; exit 1; }
    ;;
*) echo "usage: $0 [win64|win32]" >&2; exit 2 ;;
esac
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

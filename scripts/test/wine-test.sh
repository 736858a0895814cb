#!/bin/sh
# Runs one Windows test program under Wine in the test session (prefix and
# display), with the loader its build needs.
#
# wine-test.sh [--i386] [--lane=NAME | --two-monitors] <program.exe> [arguments...]
# --i386: the run needs 32-bit programs (it runs or drives one). Where they
# cannot run here, the run is skipped: exit code 77, with the reason.
# --lane=NAME: the run uses that lane of the session (test-session.sh), win64
# by default; in lane dpiN the display is set to N dots per inch, as a user's
# scaled display is.
# --two-monitors: the run uses a display of two monitors side by side, an Xorg
# server of its own (root only; skipped otherwise), and a copy of the prefix
# set up for it.
set -eu
. "$(dirname "$0")/../setup/wine-env.sh"
. "$(dirname "$0")/../setup/i386.sh"
export WINEPREFIX="$ROOT/build/wine-test"
lane=win64
while :; do
    case "${1:-}" in
    --i386)
        shift
        why=$(wine32_missing)
        if [ -n "$why" ]; then
            echo "skipped: $why (see scripts/setup/setup.sh)"
            exit 77
        fi
        ;;
    --lane=*)
        lane=${1#--lane=}
        shift
        # What the display is set to, for a driver to compare with what it is told.
        case $lane in dpi*) export TARROWBY_DISPLAY_DPI="${lane#dpi}" ;; esac
        ;;
    --two-monitors)
        shift
        if [ "$(id -u)" != 0 ] || ! command -v Xorg >/dev/null || [ ! -f /usr/lib/xorg/modules/drivers/dummy_drv.so ]; then
            echo "skipped: two monitors need root, Xorg and its dummy driver (see scripts/setup/setup.sh)"
            exit 77
        fi
        # Wine 8 reports one monitor and its desktop process fails where it
        # uses XVidMode on such a display.
        ensure_prefix_copy "$WINEPREFIX" "$ROOT/build/wine-test-monitors" \
            'HKCU\Software\Wine\X11 Driver' UseXVidMode REG_SZ N
        two_monitors=1
        ;;
    *) break ;;
    esac
done
# Tells a test that 32-bit programs run emulated, and so much slower.
if i386_emulated; then export TARROWBY_I386_EMULATED=1; fi
session="$ROOT/build/test-session"
if [ -n "${two_monitors:-}" ]; then
    start_two_monitor_display "$ROOT/build/two-monitors"
    export TARROWBY_MONITORS=2
    trap 'wineserver -k 2>/dev/null; kill "$XORG_PID"; wait "$XORG_PID"' EXIT
    "$(wine_loader "$1")" "$@"
    exit
fi
if [ -f "$session/$lane/display" ]; then
    DISPLAY=$(cat "$session/$lane/display")
    WINEPREFIX=$(cat "$session/$lane/prefix")
    export DISPLAY WINEPREFIX
fi
exec "$(wine_loader "$1")" "$@"

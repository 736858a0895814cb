#!/bin/sh
# wayland-test.sh <program>: the native program on Wayland, under a headless
# Weston of its own: it must open its launcher as a toplevel titled
# "Tarrowby Companion" with the desktop entry's app id, and draw it (a buffer
# attached once the compositor's first configure is acknowledged). Read from
# the program's own protocol log as it comes; everything started is stopped.
# Skipped (exit code 77) where Weston or Qt's Wayland plugin is missing.
set -eu
program=$1
command -v weston >/dev/null 2>&1 || { echo "skipped: weston is not installed"; exit 77; }
ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 ||
    { echo "skipped: qt6-wayland is not installed"; exit 77; }
run=$(mktemp -d)
chmod 700 "$run"
export XDG_RUNTIME_DIR="$run"
trap 'kill ${APP_PID:-} ${WESTON_PID:-} 2>/dev/null || true; rm -rf "$run"' EXIT
weston --backend=headless-backend.so --socket=tarrowby --idle-time=0 >"$run/weston.log" 2>&1 &
WESTON_PID=$!
until [ -S "$run/tarrowby" ]; do
    kill -0 "$WESTON_PID" 2>/dev/null || { cat "$run/weston.log"; echo "FAIL: weston did not start"; exit 1; }
    sleep 0.1
done
mkfifo "$run/protocol"
WAYLAND_DISPLAY=tarrowby WAYLAND_DEBUG=client QT_QPA_PLATFORM=wayland timeout 30 "$program" 2>"$run/protocol" &
APP_PID=$!
id=$(basename "$(dirname "$0")"/../../packaging/*.desktop .desktop)  # the desktop entry's name
want="title app_id configured drawn"
while [ -n "$want" ] && IFS= read -r line; do
    case $line in
    # An object is xdg_toplevel@15 in Debian 12's libwayland, xdg_toplevel#15 in 13's.
    *'xdg_toplevel'[@#]*'.set_title("Tarrowby Companion")'*) want=$(echo "$want" | sed 's/title//') ;;
    *'xdg_toplevel'[@#]*".set_app_id(\"$id\")"*) want=$(echo "$want" | sed 's/app_id//') ;;
    *'xdg_surface'[@#]*'.ack_configure('*) want=$(echo "$want" | sed 's/configured//') ;;
    *'wl_surface'[@#]*'.attach(wl_buffer'[@#]*) case $want in *configured*) ;; *) want=$(echo "$want" | sed 's/drawn//') ;; esac ;;
    esac
    want=$(echo $want)
done <"$run/protocol"
[ -z "$want" ] || { echo "FAIL: on Wayland the launcher was never: $want"; exit 1; }
echo "ok: the launcher is a Wayland toplevel \"Tarrowby Companion\" with app id $id, drawn"

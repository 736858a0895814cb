#!/bin/sh
# Runs a journey of tests/atspi against the Qt program as a screen reader's
# user has it: a virtual display of its own with openbox, a D-Bus session and
# an accessibility bus of its own, switched on as a screen reader does.
# Everything it starts it stops again.
#
# a11y-test.sh <journey.py> [--orca=LOG] <program>
# Skipped (exit code 77) where a package it needs is missing.
set -eu
if [ "${TARROWBY_A11Y_SESSION:-}" != 1 ]; then
    needs="Xvfb:xvfb openbox:openbox xdotool:xdotool dbus-run-session:dbus
        /usr/libexec/at-spi-bus-launcher:at-spi2-core gdbus:libglib2.0-bin /usr/bin/python3:python3"
    case "$*" in *--orca=*) needs="$needs orca:orca speech-dispatcher:speech-dispatcher
        /usr/lib/speech-dispatcher-modules/sd_espeak-ng:speech-dispatcher-espeak-ng" ;; esac
    for need in $needs; do
        command -v "${need%%:*}" >/dev/null 2>&1 || { echo "skipped: ${need#*:} is not installed"; exit 77; }
    done
    /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "skipped: python3-pyatspi is not installed"; exit 77; }
    # Orca starts only where no other Orca of the same user runs: one such
    # journey at a time on this machine, whichever checkout runs it.
    case "$*" in *--orca=*) exec 9>/var/lock/tarrowby-orca.lock && flock 9 ;; esac
    . "$(dirname "$0")/../setup/wine-env.sh"
    start_virtual_display 130
    stop() { kill ${WM_PID:-} "$XVFB_PID" 2>/dev/null || true; }
    trap stop EXIT
    trap 'exit 1' INT TERM
    start_window_manager
    status=0
    TARROWBY_A11Y_SESSION=1 dbus-run-session -- "$0" "$@" || status=$?
    exit $status
fi
# In the session: the accessibility bus, then what a screen reader sets on it.
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
BUS_PID=$!
trap 'kill $BUS_PID 2>/dev/null || true' EXIT
gdbus wait --session --timeout 30 org.a11y.Bus
for property in IsEnabled ScreenReaderEnabled; do
    busctl --user set-property org.a11y.Bus /org/a11y/bus org.a11y.Status $property b true
done
/usr/bin/python3 "$@"

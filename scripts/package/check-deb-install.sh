#!/bin/sh
# check-deb-install.sh PACKAGE.deb: apt installs the package with what it
# needs; an ordinary user (nobody) with a new, empty home runs the desktop
# entry's command twice on a display with openbox: the launcher must show with
# the window class the entry names and end with status 0 on Esc, and the home
# must hold nothing afterwards. Without a display the command must fail in
# one line. apt's purge must leave none of the package's files. Prints both
# start times. Needs root.
set -eu
[ "$(id -u)" -eq 0 ] || { echo "skipped: needs root"; exit 77; }
# One such check at a time on this machine, whichever checkout runs it: each
# installs and purges the one package.
exec 9>/var/lock/tarrowby-deb-install.lock
flock 9
deb=$(realpath "$1")
package=$(dpkg-deb -f "$deb" Package)
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
    echo "skipped: $package is installed here, and this check would purge it"
    exit 77
fi
. "$(dirname "$0")/../setup/wine-env.sh"
home=$(mktemp -d "${TMPDIR:-/tmp}/tarrowby-home.XXXXXX")
# The runtime folder a login session has ($XDG_RUNTIME_DIR), not in the home.
runtime=$(mktemp -d "${TMPDIR:-/tmp}/tarrowby-runtime.XXXXXX")
chown 65534:65534 "$home" "$runtime"
log="$home.log"
# A session of the user's own: nothing of this environment.
as_user() {
    setpriv --reuid=65534 --regid=65534 --clear-groups env -i HOME="$home" USER=nobody LOGNAME=nobody \
        PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 XDG_RUNTIME_DIR="$runtime" ${user_display:+DISPLAY=$user_display} "$@"
}
# A check that fails takes the package away too.
trap 'set +e; kill ${WM_PID:-} ${XVFB_PID:-} 2>/dev/null; [ -z "${installed:-}" ] ||
    DEBIAN_FRONTEND=noninteractive apt-get -y -qq purge "$package" >/dev/null 2>&1; rm -rf "$home" "$runtime" "$log"' EXIT
trap 'exit 1' INT TERM
fail() { echo "FAILED: $*"; exit 1; }
apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=600 "$@" >"$log" 2>&1 || fail "apt-get $*: $(tail -n 5 "$log")"; }

apt_get install "$deb"
installed=yes
echo "apt install:" $(grep -E '^(Need to get|After this operation)' "$log")
entry=$(dpkg -L "$package" | grep '^/usr/share/applications/.*\.desktop$')
command=$(sed -n 's/^Exec=//p' "$entry")
class=$(sed -n 's/^StartupWMClass=//p' "$entry")
user_display=""
as_user sh -c "$command" 2>"$log" && fail "started without a display"
[ "$(wc -l <"$log")" -eq 1 ] || fail "without a display it said: $(cat "$log")"
echo "without a display: $(cat "$log")"
start_virtual_display 150
user_display=$DISPLAY
start_window_manager

# Waits for the launcher, checks its class (WM_CLASS's second string) and
# closes it.
run_once() {
    started=$(date +%s.%N)
    as_user sh -c "$command" >"$log" 2>&1 &
    tries=0
    until window=$(xdotool search --onlyvisible --name '^Tarrowby Companion$' 2>/dev/null | head -n 1) && [ -n "$window" ]; do
        kill -0 $! 2>/dev/null && [ $((tries += 1)) -lt 900 ] || fail "no launcher: $(cat "$log")"
        sleep 0.2
    done
    seconds=$(awk -v from="$started" -v to="$(date +%s.%N)" 'BEGIN { printf "%.1f", to - from }')
    xprop -id "$window" WM_CLASS | grep -q ", \"$class\"\$" || fail "not of class $class: $(xprop -id "$window" WM_CLASS)"
    # Esc once the launcher is the active window: asked again until it is.
    tries=0
    until [ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ]; do
        xdotool windowactivate "$window" 2>/dev/null || true
        [ $((tries += 1)) -lt 150 ] || fail "the launcher never became the active window"
        sleep 0.2
    done
    xdotool key Escape
    wait $! || fail "closed, the command's status is $?: $(cat "$log")"
}
run_once
echo "first start: $seconds s; said: $(tr '\n' ' ' <"$log")"
run_once
echo "later start: $seconds s; class $class"
strays=$(find "$home" -mindepth 1)
[ -z "$strays" ] || fail "the home holds: $strays"
echo "the home holds nothing"

files=$(dpkg -L "$package" | grep -v '^/\.$')
apt_get purge "$package"
installed=""
left=$(echo "$files" | while read -r file; do [ ! -e "$file" ] || dpkg -S "$file" >/dev/null 2>&1 || echo "$file"; done)
[ -z "$left" ] || fail "purged, it left: $left"
echo "purged: none of its $(echo "$files" | wc -l) files and folders left"

#!/bin/sh
# check-deb-install.sh PACKAGE.deb: the package as a user meets it. apt
# installs it with whatever it needs; an ordinary user (nobody) with a new,
# empty home runs its desktop entry's command on a display with a window
# manager (openbox), twice: the launcher must show with the window class the
# entry names and end with status 0 when closed, and the home must then hold
# nothing but the one folder. Without a display the command must fail with one
# line. Last, apt purges the package, which must leave none of its files.
# Prints the first and the later start's time and the folder's size. Needs
# root; check-deb-chroot.sh runs it on a fresh Debian.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: needs root"
    exit 77
fi
deb=$(realpath "$1")
package=$(dpkg-deb -f "$deb" Package)
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
    echo "skipped: $package is installed on this machine, and this check would purge it"
    exit 77
fi
. "$here/wine-env.sh"

user_display=""
home=$(mktemp -d "${TMPDIR:-/tmp}/tarrowby-home.XXXXXX")
chown 65534:65534 "$home"
folder="$home/.local/share/$package"
log="$home.log"
stop() {
    [ ! -d "$folder/wine" ] || as_user env WINEPREFIX="$folder/wine" wineserver -k 2>/dev/null || true
    kill "${WM_PID:-}" "${XVFB_PID:-}" 2>/dev/null || true
    rm -rf "$home" "$log"
}
trap stop EXIT
trap 'exit 1' INT TERM
# The user's session: nothing of this one's environment, no XDG variables.
as_user() {
    setpriv --reuid=65534 --regid=65534 --clear-groups env -i HOME="$home" USER=nobody LOGNAME=nobody \
        PATH=/usr/local/bin:/usr/bin:/bin:/usr/games LANG=C.UTF-8 ${user_display:+DISPLAY=$user_display} "$@"
}
fail() {
    echo "FAILED: $*"
    exit 1
}

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o DPkg::Lock::Timeout=600 "$deb" >"$log" 2>&1 ||
    fail "apt could not install $deb: $(tail -n 5 "$log")"
entry=$(dpkg -L "$package" | grep '^/usr/share/applications/.*\.desktop$')
command=$(sed -n 's/^Exec=//p' "$entry")
class=$(sed -n 's/^StartupWMClass=//p' "$entry")

as_user sh -c "$command" 2>"$log" && fail "started without a display"
[ "$(wc -l <"$log")" -eq 1 ] || fail "without a display it said: $(cat "$log")"
echo "without a display: $(cat "$log")"

start_virtual_display 150
user_display=$DISPLAY
openbox --sm-disable </dev/null >/dev/null 2>&1 &
WM_PID=$!
tries=0
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    tries=$((tries + 1))
    [ $tries -le 100 ] || fail "openbox did not start"
    sleep 0.1
done

# Starts the entry's command, waits for the launcher (a first start may show
# Wine's "please wait" window before), checks its class, closes it with Esc.
run_once() {
    started=$(date +%s.%N)
    as_user sh -c "$command" >"$log" 2>&1 &
    pid=$!
    waited=""
    tries=0
    until window=$(xdotool search --onlyvisible --name '^Tarrowby Companion$' 2>/dev/null | head -n 1) && [ -n "$window" ]; do
        xdotool search --onlyvisible --name '^Wine$' >/dev/null 2>&1 && waited=yes
        tries=$((tries + 1))
        [ $tries -le 900 ] && kill -0 $pid 2>/dev/null || fail "no launcher after $tries tries: $(cat "$log")"
        sleep 0.2
    done
    seconds=$(awk -v from="$started" -v to="$(date +%s.%N)" 'BEGIN { print to - from }')
    shown=$(xprop -id "$window" WM_CLASS)
    echo "$shown" | grep -q "= \"$class\"," || fail "the entry names $class, the launcher has $shown"
    sleep 1
    xdotool windowactivate --sync "$window" key Escape
    status=0
    wait $pid || status=$?
    [ $status -eq 0 ] || fail "closed, the command's status is $status: $(cat "$log")"
}

run_once
[ -n "$waited" ] && note="Wine's wait window shown" || note="no wait window"
printf 'first start: %.1f s (%s; %s)\n' "$seconds" "$note" "$(tr '\n' ' ' <"$log")"
run_once
printf 'later start: %.1f s, %s\n' "$seconds" "$shown"
as_user env WINEPREFIX="$folder/wine" wineserver -w
echo "per-user folder: $(du -sm "$folder" | cut -f1) MB"
strays=$(find "$home" -mindepth 1 ! -path "$home/.local" ! -path "$home/.local/share" ! -path "$folder" ! -path "$folder/*")
[ -z "$strays" ] || fail "outside $folder: $strays"

files=$(dpkg -L "$package" | grep -v '^/\.$')
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq -o DPkg::Lock::Timeout=600 "$package" >"$log" 2>&1 ||
    fail "apt could not purge $package: $(tail -n 5 "$log")"
left=$(echo "$files" | while read -r file; do
    [ ! -e "$file" ] || dpkg -S "$file" >/dev/null 2>&1 || echo "$file"
done)
[ -z "$left" ] || fail "purged, it left: $left"
echo "purged: none of its $(echo "$files" | wc -l) files and folders left"

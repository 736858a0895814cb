# Sourced by the scripts that run Windows programs here: the project's own Wine
# prefix and virtual display. Never touches the user's ~/.wine.
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: the program needs neither, and their install prompts would hang.
export WINEDLLOVERRIDES="mscoree=;mshtml="
export LANG=en_GB.UTF-8 LC_ALL=en_GB.UTF-8
# With wine32 installed, the wine wrapper starts every program through the
# 32-bit loader first, which costs a 64-bit program seconds under emulation:
# 64-bit programs and Wine's own tools go to the 64-bit loader directly.
WINE64=/usr/lib/wine/wine64

# The machine a Windows program is built for: 014c (i386) or 8664 (x86-64).
pe_machine() {
    header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    od -An -tx2 -j$((header + 4)) -N2 "$1" | tr -d ' '
}

# The loader for a Windows program.
wine_loader() {
    if [ "$(pe_machine "$1")" = 014c ]; then echo wine; else echo "$WINE64"; fi
}

# Marks a prefix made and set up as below; a new name makes every prefix again.
PREFIX_STAMP=.tarrowby-settings-5

# The prefix is made on first use (about twenty seconds). Wine draws captions
# and system menus itself (with the "About Tarrowby..." item). On a virtual
# display, which has no window manager, Wine also places the windows itself;
# with "managed" as $2 a window manager manages them (task bar, focus, moving).
# It maps no font: "MS Serif", which Wine lacks, comes from the program itself,
# as in any Wine user's prefix.
ensure_wine_prefix() {
    export WINEPREFIX="$1"
    managed=N
    [ "${2:-}" != managed ] || managed=-
    stamp="$WINEPREFIX/$PREFIX_STAMP"
    # A prefix made before wine32 came has no 32-bit system files and runs no
    # 32-bit program: it is made again.
    if [ -x /usr/lib/wine/wine ] && [ -d "$WINEPREFIX/drive_c" ] && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
        wineserver -k 2>/dev/null || true
        rm -rf "$WINEPREFIX"
    fi
    [ "$(cat "$stamp" 2>/dev/null)" = "managed=$managed" ] && return 0
    mkdir -p "$WINEPREFIX"
    [ -f "$WINEPREFIX/system.reg" ] || "$WINE64" wineboot -i >/dev/null 2>&1 || true
    [ "$managed" = N ] && managed_value='"N"' || managed_value=-
    cat >"$WINEPREFIX/tarrowby.reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Decorated"="N"
"Managed"=$managed_value

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]
"MS Serif"=-
REG
    "$WINE64" regedit /S "$WINEPREFIX/tarrowby.reg" >/dev/null 2>&1
    # Wine draws the caption buttons with its Marlett font, which it finds only
    # among the prefix's own fonts.
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    wineserver -w
    echo "managed=$managed" >"$stamp"
}

# A copy of the prefix $1 at $2, with one registry value more where given: key
# $3, value $4 of type $5 set to $6. Made again when $1 is. Sets WINEPREFIX to
# it. Wine takes such a setting when its server starts: the value is set with
# Wine's own reg, whose server is then left to end.
ensure_prefix_copy() {
    stamp="$2/.tarrowby-copy"
    export WINEPREFIX="$2"
    [ -f "$stamp" ] && [ "$stamp" -nt "$1/$PREFIX_STAMP" ] && return 0
    wineserver -k 2>/dev/null || true
    rm -rf "$2"
    # The copy shares the prefix's files through hard links (over a gigabyte
    # each otherwise); only its registry, which Wine rewrites, is its own.
    cp -al "$1" "$2"
    for file in "$1"/*.reg; do
        rm "$2/${file##*/}"
        cp -p "$file" "$2/"
    done
    if [ $# -gt 2 ]; then
        "$WINE64" reg add "$3" /v "$4" /t "$5" /d "$6" /f >/dev/null 2>&1
        wineserver -w
    fi
    touch "$stamp"
}

# Two monitors side by side, 1024 x 768 and 1280 x 1024 to its right: Xorg
# with the dummy video driver and Xinerama (Xvfb puts every screen at 0, 0).
# Needs root. Sets DISPLAY and XORG_PID; the files go to the folder $1.
start_two_monitor_display() {
    mkdir -p "$1"
    cat >"$1/xorg.conf" <<'CONF'
Section "ServerFlags"
    Option "Xinerama" "on"
    Option "AutoAddDevices" "false"
    Option "DontVTSwitch" "true"
EndSection
Section "Device"
    Identifier "d0"
    Driver "dummy"
    VideoRam 16384
EndSection
Section "Device"
    Identifier "d1"
    Driver "dummy"
    VideoRam 16384
EndSection
Section "Monitor"
    Identifier "m0"
    HorizSync 5.0 - 1000.0
    VertRefresh 5.0 - 200.0
    Modeline "1024x768" 65.00 1024 1048 1184 1344 768 771 777 806 -hsync -vsync
EndSection
Section "Monitor"
    Identifier "m1"
    HorizSync 5.0 - 1000.0
    VertRefresh 5.0 - 200.0
    Modeline "1280x1024" 108.00 1280 1328 1440 1688 1024 1025 1028 1066 +hsync +vsync
EndSection
Section "Screen"
    Identifier "s0"
    Device "d0"
    Monitor "m0"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Modes "1024x768"
    EndSubSection
EndSection
Section "Screen"
    Identifier "s1"
    Device "d1"
    Monitor "m1"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Modes "1280x1024"
    EndSubSection
EndSection
Section "ServerLayout"
    Identifier "two"
    Screen 0 "s0"
    Screen 1 "s1" RightOf "s0"
EndSection
CONF
    start_x_server 120 Xorg -config "$1/xorg.conf" -noreset -nolisten tcp -logfile "$1/xorg.log" ||
        { echo "see $1/xorg.log" >&2; return 1; }
    XORG_PID=$X_PID
}

# Starts an X server, $2 with the rest of the arguments after the display, on
# the first free display from $1 upwards; sets DISPLAY and X_PID. A display can
# be taken without a trace in /tmp (another mount namespace, a chroot): a
# server that cannot listen on it ends at once, and the next one is tried.
start_x_server() {
    number=$1
    last=$((number + 30))
    server=$2
    shift 2
    while [ "$number" -le "$last" ]; do
        if [ ! -e "/tmp/.X$number-lock" ] && [ ! -e "/tmp/.X11-unix/X$number" ]; then
            "$server" ":$number" "$@" >/dev/null 2>&1 &
            X_PID=$!
            tries=0
            while kill -0 "$X_PID" 2>/dev/null && [ $tries -le 200 ]; do
                # Ours once its socket is there and its lock names it: a server
                # started at the same moment elsewhere may have won the number.
                if [ -e "/tmp/.X11-unix/X$number" ] && [ "$(tr -d ' \n' <"/tmp/.X$number-lock" 2>/dev/null)" = "$X_PID" ]; then
                    export DISPLAY=":$number"
                    return 0
                fi
                tries=$((tries + 1))
                sleep 0.1
            done
            kill "$X_PID" 2>/dev/null || true
        fi
        number=$((number + 1))
    done
    echo "could not start $server on any display from :$((last - 30)) to :$last" >&2
    return 1
}

# Starts Xvfb on the first free display from $1 upwards; sets DISPLAY and XVFB_PID.
start_virtual_display() {
    start_x_server "$1" Xvfb -screen 0 1024x768x24 -nolisten tcp || return 1
    XVFB_PID=$X_PID
}

# Starts openbox on $DISPLAY and waits until it is ready: it has named itself
# on the root window (_NET_SUPPORTING_WM_CHECK) and run its start-up command,
# which it does last, just before it starts reading events, however long that
# takes on a busy machine. (A window mapped before that, while a cold openbox
# is still starting, can stay unmanaged and unmapped until some later event.)
# One that dies first is started again, at most three times, and each new
# start is printed. Sets WM_PID.
start_window_manager() {
    starts=0
    ready=$(mktemp -u "${TMPDIR:-/tmp}/openbox-ready.XXXXXX")
    while [ $starts -lt 3 ]; do
        [ $starts -eq 0 ] || echo "retry: openbox ended before it was up; starting it again ($starts)" >&2
        starts=$((starts + 1))
        openbox --sm-disable --startup "touch $ready" </dev/null >/dev/null 2>&1 &
        WM_PID=$!
        while kill -0 "$WM_PID" 2>/dev/null; do
            if [ -e "$ready" ] && xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
                rm -f "$ready"
                return 0
            fi
            sleep 0.1
        done
    done
    echo "openbox did not start" >&2
    return 1
}

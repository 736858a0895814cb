# Sourced by the scripts that run Windows programs here: the project's own Wine
# prefix and virtual display. Never touches the user's ~/.wine.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
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

# The prefix is made on first use (about twenty seconds) and set up for a
# desktop with no window manager: Wine draws captions and system menus itself.
# With a second argument "managed" it is set up for a desktop with one: the
# window manager manages Wine's windows, whose captions Wine still draws.
# It maps no font: "MS Serif", which Wine lacks, comes from the program itself,
# as in any Wine user's prefix.
ensure_wine_prefix() {
    export WINEPREFIX="$1"
    stamp="$WINEPREFIX/.tarrowby-settings-4"
    # A prefix made before wine32 came has no 32-bit system files and runs no
    # 32-bit program: it is made again.
    if [ -x /usr/lib/wine/wine ] && [ -d "$WINEPREFIX/drive_c" ] && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
        wineserver -k 2>/dev/null || true
        rm -rf "$WINEPREFIX"
    fi
    [ -f "$stamp" ] && return 0
    mkdir -p "$WINEPREFIX"
    "$WINE64" wineboot -i >/dev/null 2>&1 || true
    managed='"Managed"="N"'
    [ "${2:-}" = managed ] && managed='"Managed"=-'
    cat >"$WINEPREFIX/tarrowby.reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Decorated"="N"
$managed

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]
"MS Serif"=-
REG
    "$WINE64" regedit /S "$WINEPREFIX/tarrowby.reg" >/dev/null 2>&1
    # Wine draws the caption buttons with its Marlett font, which it finds only
    # among the prefix's own fonts.
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    wineserver -w
    touch "$stamp"
}

# Starts Xvfb on the first free display from $1 upwards; sets DISPLAY and XVFB_PID.
start_virtual_display() {
    number=$1
    while [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ]; do number=$((number + 1)); done
    Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$number"
    tries=0
    until [ -e "/tmp/.X11-unix/X$number" ]; do
        tries=$((tries + 1))
        if [ $tries -gt 100 ] || ! kill -0 "$XVFB_PID" 2>/dev/null; then
            echo "could not start Xvfb on :$number" >&2
            return 1
        fi
        sleep 0.1
    done
}

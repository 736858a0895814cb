#!/bin/sh
# Installs whatever the build, the program and its tests need and is missing,
# and makes 32-bit programs run where this machine allows it. Quick when all
# is there: it only asks dpkg and runs one tiny 32-bit program.
set -eu
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$(dirname "$0")/i386.sh"
. "$(dirname "$0")/apt-archive.sh"

packages="cmake ninja-build g++ binutils make python3 googletest libbenchmark-dev clang libclang-rt-dev git
mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
wine wine64 fonts-wine xvfb xauth x11-utils imagemagick fonts-liberation fonts-dejavu-core locales zip unzip
xserver-xorg-core xserver-xorg-video-dummy openbox
lintian desktop-file-utils appstream file xdotool dpkg-dev
qt6-base-dev qt6-qpa-plugins qt6-wayland libgl-dev weston libxtst-dev
at-spi2-core dbus libglib2.0-bin python3-pyatspi orca speech-dispatcher speech-dispatcher-espeak-ng espeak-ng"
# (The fifth line checks the Debian package and drives it on a desktop; the
# last two build the native program, run it on X11 and Wayland, drive it with
# XTest in its benchmark, and hear it as a screen reader does, through the
# accessibility bus and Orca itself.)
# npm checks the workflows (scripts/test/check-workflows.sh): Debian's, where the
# machine has no npm of its own (a Node.js from elsewhere brings one).
command -v npm >/dev/null 2>&1 || packages="$packages nodejs npm"
# Installed last, once 32-bit programs run: its set-up runs some of them.
packages_i386="wine32:i386"

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

# Those of the packages named that are not installed, each after a space.
missing_of() {
    for package in "$@"; do
        installed "$package" || printf ' %s' "$package"
    done
}

# Runs a command as root: directly, through sudo, or not at all (false).
as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        return 1
    fi
}

# What the set-up could not install, a line each: "package: apt's reason".
# Read by the test run's summary and by the checks that need the package.
not_installed="$ROOT/build/setup/not-installed"
mkdir -p "${not_installed%/*}"
: >"$not_installed"

# apt retries a file that fails to come; an index that still fails is a
# warning that names it, and the set-up goes on with what the others list.
updated=""
apt_update() {
    log=$(mktemp)
    as_root apt-get -o Acquire::Retries=3 update -qq >"$log" 2>&1 || true
    failed=$(sed -n 's/^[EW]: Failed to fetch \([^ ]*\).*/\1/p' "$log")
    if [ -n "$failed" ]; then
        echo "setup: warning: these package index files failed to download (a mirror in the middle of a sync?):" >&2
        printf '  %s\n' $failed >&2
        echo "setup: going on with the other indexes; what only these list may not install." >&2
    elif grep -q '^E:' "$log"; then
        grep '^E:' "$log" | sed 's/^/setup: warning: /' >&2
    fi
    rm -f "$log"
}

apt_install() {
    DEBIAN_FRONTEND=noninteractive as_root apt-get -o Acquire::Retries=3 install -y -qq --no-install-recommends "$@"
}

# apt's reason, in one line, from what a failed install printed: the first
# unmet dependency, else its first error. No addresses: the line is kept.
apt_reason() {
    grep -v '://' | awk '/^ [^ ].* : /{sub(/^ +/, ""); print; found=1; exit} /^E: /{if (!e) e=substr($0, 4)} END{if (!found) print e}'
}

# Installs the packages named (after apt options such as -t SUITE). Where
# they cannot all be had, each one is tried alone: those that fail are named
# with apt's reason and what to do, and kept in $not_installed.
install_packages() {
    echo "setup: installing: $*"
    [ -n "$updated" ] || apt_update
    updated=yes
    apt_install "$@" && return 0
    options=""
    status=0
    while [ "${1:-}" = -t ]; do options="$options $1 $2"; shift 2; done
    for package in "$@"; do
        installed "$package" && continue
        # shellcheck disable=SC2086
        if ! output=$(apt_install $options "$package" 2>&1); then
            reason=$(printf '%s\n' "$output" | apt_reason)
            echo "setup: $package cannot be installed: $reason" >&2
            echo "setup: what to do: run 'make setup' again later (a mirror may still be syncing), or point apt at another mirror." >&2
            echo "$package: $reason" >>"$not_installed"
            status=1
        fi
    done
    return $status
}

# shellcheck disable=SC2086
missing=$(missing_of $packages $packages_i386)
if [ -n "$missing" ]; then
    if ! as_root true; then
        echo "setup: run as root: dpkg --add-architecture i386 && apt-get update &&" \
            "apt-get install -y --no-install-recommends$missing" >&2
        exit 1
    fi
    # wine32 is an i386 package: the architecture must be known to dpkg first.
    dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386
    # shellcheck disable=SC2086
    missing=$(missing_of $packages)
    # shellcheck disable=SC2086
    [ -z "$missing" ] || install_packages $missing || true
fi

# A fixed locale keeps Wine's list sorting and font choice the same everywhere.
# It is made the way Debian keeps it (listed in /etc/locale.gen), so that the
# next locale-gen keeps it too.
if ! locale -a 2>/dev/null | grep -qi '^en_GB\.utf-\?8$'; then
    if as_root true; then
        as_root sed -i 's/^# *\(en_GB\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
        grep -q '^en_GB\.UTF-8 UTF-8' /etc/locale.gen || echo 'en_GB.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
        as_root locale-gen >/dev/null
    else
        echo "setup: the en_GB.UTF-8 locale is missing and making it needs root: list sorting and fonts under Wine may differ."
    fi
fi

# ---- 32-bit programs ---------------------------------------------------------
# Most kernels run them natively. Where this one does not, qemu's i386
# emulator runs them, registered for i386 ELF files with binfmt_misc. It must
# be qemu 10 or later: Debian 13 has it; Debian 12 has 7.2, with which every
# 32-bit Wine process spends a minute at start-up, and 10 in its backports.
qemu_version_ok() {
    version=$(dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null) || return 1
    installed qemu-user-static && dpkg --compare-versions "$version" ge 1:10
}

# The suite that has qemu 10 for this release: empty where the release's own
# suite has it, or where this is not Debian.
qemu_suite() {
    (
        . /etc/os-release
        [ "${ID:-}" = debian ] && [ "${VERSION_CODENAME:-}" = bookworm ] && echo bookworm-backports
    ) 2>/dev/null || true
}

install_new_qemu() {
    # An earlier set-up held back the whole suite with a pin of its own.
    [ ! -f /etc/apt/preferences.d/tarrowby-bookworm-backports ] ||
        as_root rm -f /etc/apt/preferences.d/tarrowby-bookworm-backports
    suite=$(qemu_suite)
    if [ -n "$suite" ]; then
        release=${suite%-backports}
        sources=/etc/apt/sources.list.d/tarrowby-$suite.sources
        if [ ! -f "$sources" ] && ! apt-cache policy 2>/dev/null | grep -q "a=$suite\|n=$suite"; then
            archive=$(release_archive "$release" | head -n 1)
            [ -n "$archive" ] || return 1
            # Nothing is taken from backports unless asked for with -t.
            {
                printf '%s\n' "Types: deb" "URIs: $archive" "Suites: $suite" "Components: main"
                keyring=/usr/share/keyrings/debian-archive-keyring.gpg
                [ ! -f "$keyring" ] || echo "Signed-By: $keyring"
            } | as_root tee "$sources" >/dev/null
        fi
        updated=""  # the new suite's lists are needed
        install_packages -t "$suite" qemu-user-static
    else
        install_packages qemu-user-static
    fi
}

# Registers the emulator for i386 ELF files. 'F' opens it now, so that it is
# found from any process, chroot or namespace; an entry made for an older
# qemu holds that file, so it goes first.
register_qemu() {
    [ -f "$binfmt/register" ] || as_root mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || return 1
    [ -e "$binfmt/qemu-i386" ] && { echo -1 | as_root tee "$binfmt/qemu-i386" >/dev/null || return 1; }
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    printf '%s' ":qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386-static:F" |
        as_root tee "$binfmt/register" >/dev/null 2>&1
}

if ! i386_runs || { i386_emulated && ! qemu_version_ok; }; then
    why=""
    if ! as_root true; then
        why="setting up qemu's i386 emulator needs root"
    else
        qemu_version_ok || install_new_qemu || why="qemu 10 could not be installed"
        [ -n "$why" ] || register_qemu || why="binfmt_misc cannot be mounted or written here"
        [ -n "$why" ] || i386_runs || why="even qemu's emulator does not start them"
    fi
    [ -z "$why" ] || echo "setup: this machine cannot run 32-bit programs ($why): the 32-bit tests will be skipped."
fi

# shellcheck disable=SC2086
missing=$(missing_of $packages_i386)
# shellcheck disable=SC2086
[ -z "$missing" ] || install_packages $missing ||
    echo "setup: without 32-bit Wine the 32-bit program is still built and its file checked, but not run: its Wine tests are skipped." >&2

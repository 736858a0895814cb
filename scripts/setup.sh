#!/bin/sh
# Installs whatever the build, the program and its tests need and is missing.
# Quick when everything is there: it only asks dpkg.
set -eu

packages="cmake ninja-build g++ make python3 googletest libbenchmark-dev clang libclang-rt-14-dev
mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
wine wine64 fonts-wine xvfb xauth x11-utils imagemagick fonts-liberation fonts-dejavu-core locales zip unzip"

missing=""
for package in $packages; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing="$missing $package"
done

# wine32 cannot start on a kernel without 32-bit emulation, and once installed
# the wine wrapper picks its broken loader, so it must never come in.
if dpkg-query -W -f='${Status}' wine32 2>/dev/null | grep -q "install ok installed"; then
    echo "setup: wine32 is installed; it cannot run here and breaks 'wine'." >&2
    echo "setup: remove it with: apt-get remove wine32" >&2
    exit 1
fi

if [ -n "$missing" ]; then
    echo "setup: installing:$missing"
    if [ "$(id -u)" -eq 0 ]; then
        sudo=""
    elif command -v sudo >/dev/null 2>&1; then
        sudo="sudo"
    else
        echo "setup: run as root: apt-get update && apt-get install -y --no-install-recommends$missing" >&2
        exit 1
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
fi

# A fixed locale keeps Wine's list sorting and font choice the same everywhere.
if ! locale -a 2>/dev/null | grep -qi '^en_GB\.utf-\?8$'; then
    if [ "$(id -u)" -eq 0 ]; then
        localedef -i en_GB -f UTF-8 en_GB.UTF-8
    else
        sudo localedef -i en_GB -f UTF-8 en_GB.UTF-8
    fi
fi

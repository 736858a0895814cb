#!/bin/sh
# install.sh DESTDIR PREFIX [BUILD_DIR]: puts the native program and what
# makes it a desktop application (desktop entry, icons, AppStream metadata,
# manual page, copyright) under DESTDIR/PREFIX. make install runs it after
# building the host preset's tarrowby (build/host, the default), make-deb.sh
# with the package's own build; the other files come from packaging/, and the
# icon theme's PNGs are drawn from res/images/ on the way.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
dest="$1$2"
build=${3:-$root/build/host}
id=io.github.tarrowby.companion
program="$build/qt/tarrowby"
[ -x "$program" ] || { echo "install: no $program: build the native program first (make install)" >&2; exit 1; }

# The program has its icons compiled in: it runs from wherever it is installed.
install -D -m 0755 "$program" "$dest/bin/tarrowby"
install -D -m 0644 "$root/packaging/$id.desktop" "$dest/share/applications/$id.desktop"
install -D -m 0644 "$root/packaging/$id.metainfo.xml" "$dest/share/metainfo/$id.metainfo.xml"
install -D -m 0644 "$root/packaging/tarrowby.1" "$dest/share/man/man1/tarrowby.1"
images=$(mktemp -d)
trap 'rm -rf "$images"' EXIT
python3 "$root/res/images/make_images.py" "$images" --hicolor "$images/hicolor"
for size in 16 32 48 64 128 256; do
    install -D -m 0644 "$images/hicolor/${size}x$size/apps/tarrowby.png" "$dest/share/icons/hicolor/${size}x$size/apps/tarrowby.png"
done

# The licences in Debian's machine-readable form, made from the texts in the
# source: its own and the notice of the Windows program's font glyphs.
install -d -m 0755 "$dest/share/doc/tarrowby"
{
    cat <<'HEAD'
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Tarrowby Companion
Source: https://github.com/tarrowby/companion
Comment: res/font/*.bdf are the glyphs of the "MS Serif" face that the Windows
 program, Tarrowby.exe, carries; the native program in this package does not
 use them.

Files: *
Copyright: 2026 the Tarrowby Companion developers
License: Expat

Files: res/font/*.bdf
Copyright: 1984-1989, 1994 Adobe Systems Incorporated
 1988, 1994 Digital Equipment Corporation
License: Adobe-DEC-bitmap-fonts

License: Expat
HEAD
    sed -n '/^Permission is hereby/,$p' "$root/LICENSE" | sed 's/^$/./; s/^/ /'
    echo
    echo "License: Adobe-DEC-bitmap-fonts"
    sed -n '/^  Copyright 1984-1989/,$p' "$root/res/font/COPYING" | sed 's/^  //; s/^$/./; s/^/ /'
} >"$dest/share/doc/tarrowby/copyright"
chmod 0644 "$dest/share/doc/tarrowby/copyright"

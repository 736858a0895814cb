#!/bin/sh
# install.sh DESTDIR PREFIX: puts the 64-bit program and what makes it a
# desktop application (command, desktop entry, icons, AppStream metadata,
# manual page, copyright) under DESTDIR/PREFIX. make install and make deb run
# it after building; the files come from packaging/ and build/win64/.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
dest="$1$2"
prefix=$2
id=io.github.tarrowby.companion
program="$root/build/win64/Tarrowby.exe"
icons="$root/build/win64/images/hicolor"
[ -f "$program" ] && [ -d "$icons" ] || { echo "install: build the 64-bit program first (make install)" >&2; exit 1; }

# A Windows program is data to Linux: a plain file, started by the command.
install -D -m 0644 "$program" "$dest/lib/tarrowby/Tarrowby.exe"
install -d -m 0755 "$dest/bin"
sed "s|@LIBDIR@|$prefix/lib/tarrowby|" "$root/packaging/tarrowby.in" >"$dest/bin/tarrowby"
chmod 0755 "$dest/bin/tarrowby"
install -D -m 0644 "$root/packaging/$id.desktop" "$dest/share/applications/$id.desktop"
install -D -m 0644 "$root/packaging/$id.metainfo.xml" "$dest/share/metainfo/$id.metainfo.xml"
install -D -m 0644 "$root/packaging/tarrowby.1" "$dest/share/man/man1/tarrowby.1"
for size in 16 32 48 64 128 256; do
    install -D -m 0644 "$icons/${size}x$size/apps/tarrowby.png" "$dest/share/icons/hicolor/${size}x$size/apps/tarrowby.png"
done

# The licences in Debian's machine-readable form, made from the texts that
# ship with the program: its own and the notice of its font's glyphs.
install -d -m 0755 "$dest/share/doc/tarrowby"
{
    cat <<'HEAD'
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Tarrowby Companion
Comment: Tarrowby.exe carries a font file made from res/font/*.bdf, the glyphs
 of its "MS Serif" face.

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

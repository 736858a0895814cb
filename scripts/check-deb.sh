#!/bin/sh
# check-deb.sh: builds the Debian package (make-deb.sh) and checks it, one
# line of the table at the end for each: every file with its owner and mode,
# the 64-bit program inside, what it depends on, lintian with every tag at
# every level (pedantic ones too), the desktop entry's and the AppStream
# metadata's validators. A check passes on status 0 and, where it says
# "silent", only if it also prints nothing: each remark is a finding.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
deb=$("$root/scripts/make-deb.sh")
tree="$root/build/deb/check"
rm -rf "$tree"
dpkg-deb -x "$deb" "$tree"
id=io.github.tarrowby.companion
cat >"$tree.expected" <<TABLE
root/root -rwxr-xr-x ./usr/bin/tarrowby
root/root -rw-r--r-- ./usr/lib/tarrowby/Tarrowby.exe
root/root -rw-r--r-- ./usr/share/applications/$id.desktop
root/root -rw-r--r-- ./usr/share/doc/tarrowby/changelog.gz
root/root -rw-r--r-- ./usr/share/doc/tarrowby/copyright
root/root -rw-r--r-- ./usr/share/icons/hicolor/128x128/apps/tarrowby.png
root/root -rw-r--r-- ./usr/share/icons/hicolor/16x16/apps/tarrowby.png
root/root -rw-r--r-- ./usr/share/icons/hicolor/256x256/apps/tarrowby.png
root/root -rw-r--r-- ./usr/share/icons/hicolor/32x32/apps/tarrowby.png
root/root -rw-r--r-- ./usr/share/icons/hicolor/48x48/apps/tarrowby.png
root/root -rw-r--r-- ./usr/share/icons/hicolor/64x64/apps/tarrowby.png
root/root -rw-r--r-- ./usr/share/man/man1/tarrowby.1.gz
root/root -rw-r--r-- ./usr/share/metainfo/$id.metainfo.xml
TABLE
# Folders too must be root's, and 0755.
dpkg-deb -c "$deb" | awk '$1 != "drwxr-xr-x" || $2 != "root/root" { print $2, $1, $6 }' >"$tree.contents"

status=0
while IFS='|' read -r how check; do
    if sh -c "$check" >"$tree.out" 2>&1 && { [ "$how" != silent ] || [ ! -s "$tree.out" ]; }; then
        echo "ok: $check"
    else
        echo "FAILED: $check"
        status=1
    fi
    sed 's/^/    /' "$tree.out"
done <<TABLE
silent|diff '$tree.expected' '$tree.contents'
passes|file '$tree/usr/lib/tarrowby/Tarrowby.exe' | grep 'PE32+ executable (GUI) x86-64'
passes|dpkg-deb -f '$deb' Depends | grep -x 'wine, wine64'
silent|{ lintian -EvIL +pedantic --fail-on error,warning '$deb' 2>&1 || echo "lintian: status \$?"; } | grep -v 'running with root privileges'; exit 0
silent|desktop-file-validate '$tree/usr/share/applications/$id.desktop'
passes|appstreamcli validate --no-net --pedantic '$tree/usr/share/metainfo/$id.metainfo.xml'
TABLE
exit $status

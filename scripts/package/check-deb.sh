#!/bin/sh
# check-deb.sh: builds the Debian package and checks it, a line of the table
# at the end each. A check passes on status 0, a "silent" one only if it also
# prints nothing: every remark of a validator is a finding.
set -eu
deb=$("$(dirname "$0")/make-deb.sh")
tree="$(dirname "$0")/../../build/deb/check"
rm -rf "$tree"
dpkg-deb -x "$deb" "$tree"
id=io.github.tarrowby.companion
# Each file with its owner and mode; a folder shows only if not root's 0755.
dpkg-deb -c "$deb" | awk '$1 != "drwxr-xr-x" || $2 != "root/root" { print $2, $1, $6 }' >"$tree.files"
cat >"$tree.expected" <<FILES
root/root -rwxr-xr-x ./usr/bin/tarrowby
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
FILES
status=0
while IFS='|' read -r how check; do
    if out=$(sh -c "$check" 2>&1) && { [ "$how" != silent ] || [ -z "$out" ]; }; then
        echo "ok: $check"
    else
        echo "FAILED: $check"
        status=1
    fi
    [ -z "$out" ] || echo "$out" | sed 's/^/    /'
done <<TABLE
silent|diff '$tree.expected' '$tree.files'
passes|file -b '$tree/usr/bin/tarrowby' | grep -F '$(file -bL /bin/sh | cut -d, -f1-2),'
passes|dpkg-deb -f '$deb' Architecture | grep -x '$(dpkg --print-architecture)'
passes|dpkg-deb -f '$deb' Depends | grep -E '(^|, )libqt6widgets6(t64)? ' | grep -v wine
silent|lintian -EvIL +pedantic --fail-on error,warning '$deb' >'$tree.lintian' 2>&1 || echo "status \$?"; grep -v 'root privileges' '$tree.lintian'; true
silent|desktop-file-validate '$tree/usr/share/applications/$id.desktop'
passes|appstreamcli validate --no-net --pedantic '$tree/usr/share/metainfo/$id.metainfo.xml'
TABLE
exit $status

#!/bin/sh
# make-deb.sh [OUT_DIR]: the Debian package of the 64-bit program,
# dist/tarrowby_<version>_amd64.deb, from what install.sh puts under /usr and
# the control files in packaging/deb/. The same tree gives the same bytes:
# every date is the last commit's (SOURCE_DATE_EPOCH), owners are root, modes
# fixed, compressed files carry no name or time, and dpkg-deb sorts the files.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$root/dist}
umask 022
export LC_ALL=C TZ=UTC
version=$(sed -n 's/^FILEVERSION[ \t]*\([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\).*/\1.\2.\3.\4/p' "$root/res/Tarrowby.rc")
[ -n "$version" ] || { echo "make-deb: no FILEVERSION in res/Tarrowby.rc" >&2; exit 1; }
: "${SOURCE_DATE_EPOCH:=$(git -C "$root" log -1 --format=%ct 2>/dev/null)}"
[ -n "$SOURCE_DATE_EPOCH" ] || { echo "make-deb: not a git repository: set SOURCE_DATE_EPOCH and DEBEMAIL" >&2; exit 1; }
export SOURCE_DATE_EPOCH
# The packager, as Debian's tools find one: DEBFULLNAME and DEBEMAIL, else
# whoever made the last commit.
if [ -n "${DEBEMAIL:-}" ]; then
    maintainer="${DEBFULLNAME:-$(git -C "$root" log -1 --format=%cn)} <$DEBEMAIL>"
else
    maintainer=$(git -C "$root" log -1 --format='%cn <%ce>')
fi

stage="$root/build/deb/root"
rm -rf "$stage"
"$root/scripts/package/install.sh" "$stage" /usr
doc="$stage/usr/share/doc/tarrowby"
gzip -9n "$stage/usr/share/man/man1/tarrowby.1"
sed -e "s|@VERSION@|$version|" -e "s|@MAINTAINER@|$maintainer|" \
    -e "s|@DATE@|$(date -u -R -d "@$SOURCE_DATE_EPOCH")|" "$root/packaging/deb/changelog" | gzip -9n >"$doc/changelog.gz"
chmod 0644 "$doc/changelog.gz"

# Installed-Size as dpkg counts it: each file in whole KiB, each folder one.
size=$(find "$stage/usr" -printf '%y %s\n' | awk '{ n += ($1 == "f") ? int(($2 + 1023) / 1024) : 1 } END { print n }')
install -d -m 0755 "$stage/DEBIAN"
sed -e "s|@VERSION@|$version|" -e "s|@MAINTAINER@|$maintainer|" -e "s|@INSTALLED_SIZE@|$size|" \
    "$root/packaging/deb/control.in" >"$stage/DEBIAN/control"
(cd "$stage" && find usr -type f | sort | xargs md5sum) >"$stage/DEBIAN/md5sums"
chmod 0644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"
find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

mkdir -p "$out"
deb="$out/tarrowby_${version}_amd64.deb"
dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null
echo "$deb"

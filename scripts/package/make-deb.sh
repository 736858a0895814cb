#!/bin/sh
# make-deb.sh [OUT_DIR]: the Debian package of the native program,
# dist/tarrowby_<version>_<arch>.deb for this machine's architecture. The
# program is built for it in build/deb/program with Debian's own flags
# (dpkg-buildflags: hardening, and no build paths) and stripped as Debian
# strips; install.sh puts it with its files under /usr, and dpkg's tools make
# the control file from packaging/deb/: the dependencies from the libraries
# the program links (dpkg-shlibdeps), the architecture and the installed
# size. The same tree gives the same bytes: every date is the last commit's
# (SOURCE_DATE_EPOCH), owners are root, modes fixed, compressed files carry no
# name or time, and dpkg-deb sorts the files.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$root/dist}
mkdir -p "$out"
out=$(cd "$out" && pwd)
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

# The program, as a Debian package builds it. dpkg-buildflags maps the
# current folder, the tree, to "." in file names. The compiled-in images carry
# SOURCE_DATE_EPOCH as their date (Qt's rcc), which Ninja cannot see change:
# a build of another commit's date starts afresh.
work="$root/build/deb"
build="$work/program"
cd "$root"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
[ "$(cat "$build/source-date-epoch" 2>/dev/null)" = "$SOURCE_DATE_EPOCH" ] || rm -rf "$build"
mkdir -p "$build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DBUILD_TESTING=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >"$work/program.log" 2>&1 &&
    cmake --build "$build" --target tarrowby -j 2 >>"$work/program.log" 2>&1 ||
    { tail -n 30 "$work/program.log" >&2; echo "make-deb: the program did not build ($work/program.log)" >&2; exit 1; }
echo "$SOURCE_DATE_EPOCH" >"$build/source-date-epoch"

# The package's tree, where Debian's tools look for it: debian/<package>.
stage="$work/debian/tarrowby"
rm -rf "$work/debian"
mkdir -p "$work/debian"
"$root/scripts/package/install.sh" "$stage" /usr "$build"
strip --remove-section=.comment --remove-section=.note "$stage/usr/bin/tarrowby"
doc="$stage/usr/share/doc/tarrowby"
gzip -9n "$stage/usr/share/man/man1/tarrowby.1"
sed -e "s|@VERSION@|$version|" -e "s|@MAINTAINER@|$maintainer|" \
    -e "s|@DATE@|$(date -u -R -d "@$SOURCE_DATE_EPOCH")|" "$root/packaging/deb/changelog" >"$work/debian/changelog"
gzip -9n <"$work/debian/changelog" >"$doc/changelog.gz"
chmod 0644 "$doc/changelog.gz"
sed -e "s|@MAINTAINER@|$maintainer|" "$root/packaging/deb/control" >"$work/debian/control"

# The control file: Depends from the libraries the program links, the
# version from the changelog, this machine's architecture, Installed-Size.
install -d -m 0755 "$stage/DEBIAN"
(cd "$work" && dpkg-shlibdeps -Tdebian/substvars "debian/tarrowby/usr/bin/tarrowby" &&
    dpkg-gencontrol -ptarrowby -Tdebian/substvars -fdebian/files -Pdebian/tarrowby)
(cd "$stage" && find usr -type f | sort | xargs md5sum) >"$stage/DEBIAN/md5sums"
chmod 0644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"
find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

deb="$out/tarrowby_${version}_$(dpkg --print-architecture).deb"
dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null
echo "$deb"

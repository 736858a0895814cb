#!/bin/sh
# check-deb-chroot.sh [trixie|bookworm]: dist/'s package for this machine's
# architecture, as built here, on a fresh Debian 13 (the default) or 12: a
# minimal debootstrap system under build/deb-chroot/, from the archive this
# machine's apt sources name, kept bare for the next run and copied for each.
# There apt first says what the package would cost, then check-deb-install.sh
# installs, starts and purges it; then that release's lintian and validators
# check it. Needs root; make deb first.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
release=${1:-trixie}
[ "$(id -u)" -eq 0 ] || { echo "check-deb-chroot: needs root" >&2; exit 1; }
# Mounts of a namespace of its own: they can reach nothing of the machine's and
# end with the run.
[ -n "${TARROWBY_CHROOT_NS:-}" ] || TARROWBY_CHROOT_NS=1 exec unshare --mount --propagation private "$0" "$@"
deb=$(ls "$root"/dist/tarrowby_*_"$(dpkg --print-architecture)".deb 2>/dev/null | tail -n 1)
[ -n "$deb" ] || { echo "check-deb-chroot: no package in dist/: make deb first" >&2; exit 1; }
work="$root/build/deb-chroot"
base="$work/$release-base"
tree="$work/$release"
if [ ! -f "$base/.complete" ]; then
    . "$root/scripts/setup/apt-archive.sh"
    command -v debootstrap >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap
    rm -rf "$base"
    mkdir -p "$work"
    echo "check-deb-chroot: debootstrap $release"
    debootstrap --variant=minbase "$release" "$base" "$(release_archive "$(. /etc/os-release && echo "$VERSION_CODENAME")" | head -n 1)" \
        >"$work/$release-debootstrap.log" 2>&1 || { tail -n 20 "$work/$release-debootstrap.log" >&2; exit 1; }
    touch "$base/.complete"
fi
rm -rf --one-file-system "$tree"
cp -a "$base" "$tree"
mkdir -p "$work/$release-archives" "$tree/tmp/check"
mount -t proc proc "$tree/proc"
mount -t sysfs sysfs "$tree/sys"
mount --rbind /dev "$tree/dev"
# Downloaded packages are kept for the next run.
mount --bind "$work/$release-archives" "$tree/var/cache/apt/archives"
unmount() { umount -R "$tree/var/cache/apt/archives" "$tree/dev" "$tree/sys" "$tree/proc" 2>/dev/null || true; }
trap unmount EXIT
cp /etc/resolv.conf "$tree/etc/"
[ ! -f /etc/ssl/certs/ca-certificates.crt ] || install -D -m 0644 /etc/ssl/certs/ca-certificates.crt "$tree/etc/ssl/certs/ca-certificates.crt"
mkdir -p "$tree/tmp/check/package" "$tree/tmp/check/setup"
cp "$deb" "$tree/tmp/check/"
cp "$root/scripts/package/check-deb-install.sh" "$tree/tmp/check/package/"
cp "$root/scripts/setup/wine-env.sh" "$tree/tmp/check/setup/"

echo "check-deb-chroot: Debian $(cat "$tree/etc/debian_version"): $(basename "$deb")"
status=0
chroot "$tree" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive DEB="$(basename "$deb")" sh -euc '
    cd /tmp/check
    apt-get update -qq
    # What the package costs a fresh system, as apt says before it asks,
    # with the packages the libraries recommend and without them.
    for recommends in true false; do
        echo "apt install with recommends $recommends:" $(apt-get -q --assume-no -o APT::Install-Recommends=$recommends \
            install "./$DEB" 2>/dev/null | grep -E "^(Need to get|After this operation)")
    done
    apt-get install -y -qq --no-install-recommends xvfb xauth openbox x11-utils xdotool >/dev/null 2>&1
    sh ./package/check-deb-install.sh "./$DEB"
    apt-get install -y -qq --no-install-recommends lintian desktop-file-utils appstream >/dev/null 2>&1
    lintian -EvIL +pedantic --fail-on error,warning "$DEB" >said 2>&1 || { cat said; exit 1; }
    grep -v "root privileges" said || echo "lintian $(lintian --print-version): no tag at all"
    dpkg-deb -x "$DEB" tree
    said=$(desktop-file-validate tree/usr/share/applications/*.desktop 2>&1)
    [ -z "$said" ] && echo "desktop-file-validate: nothing to say" || { echo "$said"; exit 1; }
    appstreamcli validate --no-net --pedantic tree/usr/share/metainfo/*.xml' || status=$?
unmount
# A copy that passed goes; one that failed stays to be looked at.
[ $status -ne 0 ] || rm -rf --one-file-system "$tree"
exit $status

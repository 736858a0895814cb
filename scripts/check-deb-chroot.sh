#!/bin/sh
# check-deb-chroot.sh [RELEASE]: the package on a fresh Debian (trixie, the
# default, or bookworm): a minimal debootstrap chroot under build/deb-chroot/,
# made from the archive this machine's own apt sources name. apt installs
# dist/tarrowby_*_amd64.deb there with all it needs, and check-deb-install.sh
# starts it as an ordinary user on a display with a window manager, then
# purges it. Needs root; make deb first. The bare system is kept for the next
# run (build/deb-chroot/RELEASE-base); each run works on a fresh copy of it.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
release=${1:-trixie}
if [ "$(id -u)" -ne 0 ]; then
    echo "check-deb-chroot: needs root (debootstrap, chroot, mounts)" >&2
    exit 1
fi
# Its mounts live and die with a mount namespace of its own: nothing of them
# can reach the machine's /dev or /proc, and none outlives the run.
if [ -z "${TARROWBY_CHROOT_NS:-}" ]; then
    TARROWBY_CHROOT_NS=1 exec unshare --mount --propagation private "$0" "$@"
fi
. "$root/scripts/apt-archive.sh"
deb=$(ls "$root"/dist/tarrowby_*_amd64.deb 2>/dev/null | tail -n 1)
[ -n "$deb" ] || { echo "check-deb-chroot: no package in dist/: run make deb first" >&2; exit 1; }
command -v debootstrap >/dev/null 2>&1 ||
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap

work="$root/build/deb-chroot"
base="$work/$release-base"
tree="$work/$release"
cache="$work/$release-archives"
if [ ! -f "$base/.complete" ]; then
    host=$(. /etc/os-release && echo "$VERSION_CODENAME")
    archive=$(release_archive "$host" | head -n 1)
    [ -n "$archive" ] || { echo "check-deb-chroot: no Debian archive in this machine's apt sources" >&2; exit 1; }
    rm -rf "$base"
    echo "check-deb-chroot: debootstrap $release"
    debootstrap --variant=minbase "$release" "$base" "$archive" >"$work/$release-debootstrap.log" 2>&1 ||
        { tail -n 20 "$work/$release-debootstrap.log" >&2; exit 1; }
    touch "$base/.complete"
fi

rm -rf --one-file-system "$tree"
cp -a "$base" "$tree"
mkdir -p "$cache" "$tree/tmp/tarrowby-check"
mount -t proc proc "$tree/proc"
mount -t sysfs sysfs "$tree/sys"
mount --rbind /dev "$tree/dev"
# Downloaded packages are kept for the next run.
mount --bind "$cache" "$tree/var/cache/apt/archives"
cleanup() {
    umount -R "$tree/var/cache/apt/archives" "$tree/dev" "$tree/sys" "$tree/proc" 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 1' INT TERM
cp /etc/resolv.conf "$tree/etc/resolv.conf"
# The machine's own certificate authorities, for anything that speaks TLS.
[ ! -f /etc/ssl/certs/ca-certificates.crt ] || {
    mkdir -p "$tree/etc/ssl/certs"
    cp /etc/ssl/certs/ca-certificates.crt "$tree/etc/ssl/certs/"
}
cp "$deb" "$tree/tmp/tarrowby-check/"
cp "$root/scripts/check-deb-install.sh" "$root/scripts/wine-env.sh" "$tree/tmp/tarrowby-check/"

echo "check-deb-chroot: $release, $(cat "$tree/etc/debian_version"): installing $(basename "$deb")"
# The display, its window manager and the tools that look at it come first;
# the package itself then brings everything else it needs.
chroot "$tree" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive sh -c '
    set -e
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends xvfb xauth openbox x11-utils xdotool >/dev/null
    cd /tmp/tarrowby-check
    sh ./check-deb-install.sh ./'"$(basename "$deb")" && status=0 || status=$?
cleanup
# The copy goes once it has passed; a failed one stays to be looked at.
[ $status -ne 0 ] || rm -rf --one-file-system "$tree"
exit $status

#!/bin/sh
# Builds the shipped programs, the release archive and the Debian package once
# more, from a copy of the tree in a folder of another name, and requires them
# byte-identical to those of the project's own build: nothing of the time or
# the place of a build may end up in what ships.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
work="$root/build/reproducible"

# The same files as at the last success need no second proof.
fingerprint=$(cd "$root" && git ls-files -z --cached --others --exclude-standard |
    xargs -0 sha256sum 2>/dev/null | sha256sum | cut -c1-64)
stamp="$root/build/reproducible.ok"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$fingerprint" ]; then
    echo "unchanged since the last check: reproducible"
    exit 0
fi
rm -rf "$work"
mkdir -p "$work"
# The Debian package's dates are the last commit's, whichever copy builds it.
SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct)
export SOURCE_DATE_EPOCH
trap 'rm -rf "$work"' EXIT

# The project's own build, brought up to date, and its archive.
for preset in win32 win64; do
    (cd "$root" && cmake --build --preset $preset --target Tarrowby >/dev/null)
done
mkdir -p "$work/own/dist"
python3 "$root/scripts/package/make-dist.py" "$work/own/dist" >/dev/null
"$root/scripts/package/make-deb.sh" "$work/own/dist" >/dev/null

# The files of the project as they stand, committed or not (but not ignored).
tree="$work/second-tree-with-a-longer-name"
mkdir -p "$tree"
(cd "$root" && git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$tree")
for preset in win32 win64; do
    (cd "$tree" && cmake --preset $preset >/dev/null && cmake --build --preset $preset --target Tarrowby >/dev/null)
done
python3 "$tree/scripts/package/make-dist.py" "$tree/dist" >/dev/null
"$tree/scripts/package/make-deb.sh" "$tree/dist" >/dev/null

status=0
for file in build/win32/Tarrowby.exe build/win64/Tarrowby.exe dist/Tarrowby-*.zip dist/tarrowby_*.deb; do
    case $file in dist/*) a=$(ls "$work"/own/$file) ;; *) a="$root/$file" ;; esac
    b=$(ls "$tree"/$file)
    if cmp -s "$a" "$b"; then
        echo "identical: $file ($(sha256sum <"$a" | cut -c1-16))"
    else
        echo "DIFFERENT: $file"
        cmp -l "$a" "$b" | head -5
        status=1
    fi
done
[ $status -eq 0 ] && echo "$fingerprint" >"$stamp"
exit $status

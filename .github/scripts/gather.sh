#!/bin/sh
# gather.sh <folder>: copies what the Windows runner needs out of build/:
# each build's Tarrowby.exe, core tests and in-process launcher test, and the
# 64-bit driver and soak, which drive either build's Tarrowby.exe from outside.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:?usage: gather.sh <folder>}
rm -rf "$out"
for build in win64 win32; do
    mkdir -p "$out/$build"
    cp "$root/build/$build/Tarrowby.exe" \
        "$root/build/$build/tests/core_tests.exe" \
        "$root/build/$build/tests/inprocess/launcher_inprocess_test.exe" "$out/$build/"
done
cp "$root/build/win64/tests/driver/ui_driver_test.exe" "$root/build/win64/tests/soak/soak_test.exe" "$out/"
ls -l "$out" "$out"/win64 "$out"/win32

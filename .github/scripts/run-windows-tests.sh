#!/bin/sh
# run-windows-tests.sh <folder>: runs the test programs that gather.sh put in
# <folder>, the full soak included, for both builds: on Windows directly (Git's
# bash on the runner), anywhere else under Wine, in the project's test prefix
# and virtual display.
# Screenshots go to <folder>/screenshots. Fails when any program fails.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
dir=$(cd "${1:?usage: run-windows-tests.sh <folder>}" && pwd)

case "$(uname -s)" in
MINGW* | MSYS* | CYGWIN*)
    on_windows=yes
    windows_path() { cygpath -w "$1"; }
    ;;
*)
    on_windows=""
    windows_path() { echo "Z:$1"; }
    "$root/scripts/test/test-session.sh" start
    trap '"$root/scripts/test/test-session.sh" stop' EXIT
    ;;
esac

failed=""
# run <build> <name> <program> [arguments...]
run() {
    build=$1 name=$2
    shift 2
    echo "==== $build: $name"
    status=0
    if [ -n "$on_windows" ]; then
        "$@" || status=$?
    elif [ "$build" = win32 ]; then
        "$root/scripts/test/wine-test.sh" --i386 "$@" || status=$?
    else
        "$root/scripts/test/wine-test.sh" "$@" || status=$?
    fi
    case $status in
    0) ;;
    77) echo "==== $build: $name skipped" ;;
    *) failed="$failed $build:$name" ;;
    esac
}

for build in win64 win32; do
    shots="$dir/screenshots/$build"
    mkdir -p "$shots"
    run $build core_tests "$dir/$build/core_tests.exe"
    run $build launcher_inprocess_test "$dir/$build/launcher_inprocess_test.exe" \
        "--screenshot=$(windows_path "$shots/launcher-inprocess.bmp")"
    run $build ui_driver_test "$dir/ui_driver_test.exe" \
        "$(windows_path "$dir/$build/Tarrowby.exe")" "$(windows_path "$shots")"
    # The full soak, as make soak runs it: 60 rounds of every dialog.
    run $build soak_test "$dir/soak_test.exe" "$(windows_path "$dir/$build/Tarrowby.exe")"
done

if [ -n "$failed" ]; then
    echo "failed:$failed"
    exit 1
fi
echo "every test program passed"

#!/bin/sh
# Runs the benchmarks and keeps their figures as JSON under build/bench/.
# Expects the host and Windows builds to be done (make bench builds first).
#   bench.sh          all of them
#   bench.sh native   the native program against its floor alone
set -eu
cd "$(dirname "$0")/../.."

out=build/bench
mkdir -p "$out"

# The native program against its same-work floor (bench/qt/), on a virtual
# display of its own: with no window manager, then under openbox. Both run
# with a new, empty home and runtime folder, and what they leave in the home
# is counted: the program keeps nothing per user.
native_bench() {
    native=build/host/bench/qt/native_bench
    for file in "$native" build/host/bench/qt/tarrowby_floor build/host/qt/tarrowby; do
        if [ ! -x "$file" ]; then
            echo "bench: $file is missing; build with 'make build'" >&2
            return 1
        fi
    done
    (
        . scripts/setup/wine-env.sh
        home=$(mktemp -d)
        runtime=$(mktemp -d)
        chmod 700 "$runtime"
        trap 'kill ${WM_PID:-} ${XVFB_PID:-} 2>/dev/null || true; rm -rf "$home" "$runtime"' EXIT
        trap 'exit 130' INT TERM
        start_virtual_display 90
        set -- build/host/qt/tarrowby build/host/bench/qt/tarrowby_floor
        echo "bench: the native program against its same-work floor"
        env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME -u XDG_STATE_HOME \
            HOME="$home" XDG_RUNTIME_DIR="$runtime" "$native" --json "$out/native.json" "$@"
        echo "bench: figures written to $out/native.json"
        start_window_manager
        echo "bench: the same under openbox"
        env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME -u XDG_STATE_HOME \
            HOME="$home" XDG_RUNTIME_DIR="$runtime" "$native" --label "Native on Xvfb, openbox" \
            --json "$out/native-openbox.json" "$@"
        echo "bench: figures written to $out/native-openbox.json"
        # openbox keeps its own files in the home too: only the programs' count.
        left=$(cd "$home" && find . -mindepth 1 ! -path './.config/openbox*' ! -path './.cache/openbox*' \
            ! -path ./.config ! -path ./.cache ! -path ./.local ! -path ./.local/share | sort)
        if [ -z "$left" ]; then
            echo "bench: disk per user: nothing (the home folder stays empty through both benches)"
        else
            echo "bench: disk per user: the runs left in the home folder:"
            (cd "$home" && du -a $left)
        fi
    )
}

if [ "${1:-}" = native ]; then
    native_bench
    exit
fi

# The station queries: time per call for each kind of typed input.
query_bench=build/host/bench/query_bench
if [ ! -x "$query_bench" ]; then
    echo "bench: $query_bench is missing; build with 'make build'" >&2
    exit 1
fi
echo "bench: station queries"
"$query_bench" --benchmark_out="$out/queries.json" --benchmark_out_format=json
echo "bench: figures written to $out/queries.json"

# Tarrowby under Wine against two floors, for each build: the same dialogs
# opened empty, and the same visible work in plain Win32: start-up, each tool,
# peak working set, and the programs' sizes.
# It runs in the test session (prefix and display); one already running, a
# test run's, is used as it is and left running. Where 32-bit programs cannot
# run, only the 64-bit build is measured.
wine_bench=build/win64/bench/wine/wine_bench.exe
if [ ! -f "$wine_bench" ]; then
    echo "bench: $wine_bench is missing; build with 'make build'" >&2
    exit 1
fi
session_pid=build/test-session/xvfb.pid
if [ -f "$session_pid" ] && kill -0 "$(cat "$session_pid")" 2>/dev/null; then
    echo "bench: using the Wine test session already running"
else
    trap 'scripts/test/test-session.sh stop' EXIT
    trap 'exit 130' INT TERM
    scripts/test/test-session.sh start
fi
set -- build/win64/Tarrowby.exe build/win64/bench/wine/floor.exe build/win64/bench/wine/same_work_floor.exe
. scripts/setup/i386.sh
why=$(wine32_missing)
if [ -z "$why" ]; then
    set -- "$@" build/win32/Tarrowby.exe build/win32/bench/wine/floor.exe build/win32/bench/wine/same_work_floor.exe
else
    echo "bench: 32-bit build not measured: $why"
    set -- --size build/win32/Tarrowby.exe --size build/win32/bench/wine/floor.exe \
        --size build/win32/bench/wine/same_work_floor.exe "$@"
fi
# A virtual machine's host may take its processors away from it (steal time in
# /proc/stat) and slow any run of a round at random: how much it took is
# printed with the figures, to tell a quiet machine's from a busy one's.
cpu_ticks() { awk '/^cpu /{ print $2 + $3 + $4 + $5 + $6 + $7 + $8 + $9, $9 }' /proc/stat 2>/dev/null || echo 0 0; }
echo "bench: Tarrowby under Wine"
before=$(cpu_ticks)
scripts/test/wine-test.sh "$wine_bench" --json "$out/wine.json" "$@"
after=$(cpu_ticks)
echo "$before $after" | awk '$3 > $1 { printf "bench: the host took %.1f %% of the processor time during the run (steal)\n", 100 * ($4 - $2) / ($3 - $1) }'
echo "bench: figures written to $out/wine.json"

# Where Qt 6 Widgets is missing the native program is not built, and not measured.
if [ -x build/host/qt/tarrowby ]; then
    native_bench
else
    echo "bench: native program not measured: build/host/qt/tarrowby is not built (Qt 6 Widgets missing?)"
fi

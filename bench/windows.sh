#!/usr/bin/env bash
# The Windows program under wine, on a private X server, timed from outside:
# heraldpad.exe news.txt, from its window appearing to the text shown in it
# and the program idle (no CPU time used for IDLE_MS). Prints one line a
# size: median, min and max of the runs, in the table's columns.
# Usage: bench/windows.sh HERALDPAD_EXE HERALDBENCH RUNS KB...
set -euo pipefail
exe=$(readlink -f "$1")
bench=$(readlink -f "$2")
runs=$3
shift 3
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/tests/e2e/xsession.sh"
trap 'wineserver -k 2>/dev/null; stop_all' EXIT
export WINEPREFIX="$E2E_TMP/prefix" WINEDEBUG=-all
DISPLAY= wine wineboot --init >/dev/null 2>&1
wineserver -w
start_x
IDLE_MS=${IDLE_MS:-700}

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null; }

# One run: milliseconds from the window's appearing to the program's last CPU
# time before it idles.
one_run() {
    local dir=$1 pid now ticks prev=-1 last shown= limit
    (cd "$dir" && exec wine "$exe" news.txt >/dev/null 2>&1) &
    pid=$!
    limit=$(( $(now_ms) + 300000 ))
    while :; do
        now=$(now_ms)
        ticks=$(cpu_ticks "$pid") || return 1
        if [ "$ticks" != "$prev" ]; then prev=$ticks; last=$now; fi
        if [ -z "$shown" ]; then
            timeout 5 xdotool search --onlyvisible --name '^Orbitane Heraldpad' >/dev/null 2>&1 &&
                shown=$now && last=$now
        elif [ $(( now - last )) -ge "$IDLE_MS" ]; then
            break
        fi
        [ "$now" -lt "$limit" ] || return 1
        sleep 0.01
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
    echo $(( last - shown ))
}

for kb in "$@"; do
    dir="$E2E_TMP/news-$kb"
    mkdir -p "$dir"
    "$bench" news-file $(( kb * 1000 )) "$dir/news.txt" 2>/dev/null
    one_run "$dir" >/dev/null || true # not counted: wine's first start
    times=()
    for ((run = 0; run < runs; ++run)); do
        times+=("$(one_run "$dir")")
    done
    printf '%s\n' "${times[@]}" | sort -n | awk -v kb="$kb" '{v[NR] = $1}
        END {printf "windows-shown-%dKB\t%d\t%d\t%d\tms\n", kb, v[int((NR + 1) / 2)], v[1], v[NR]}'
done

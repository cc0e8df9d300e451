#!/usr/bin/env bash
# Start-up and loading a news file, Heraldpad beside FeatherPad, in windows
# on one private X server, timed the same way from outside: from the process's
# start to its window shown with the text in it and the program idle (no CPU
# time used for IDLE_MS). Heraldpad gets Ctrl+L as soon as its window shows;
# FeatherPad is started with the file.
# Usage: bench/peers.sh BUILD_DIR RUNS MB...
set -euo pipefail
app=$(readlink -f "$1/ui/heraldpad")
bench=$(readlink -f "$1/bench/heraldbench")
runs=$2
shift 2
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/tests/e2e/xsession.sh"
trap stop_all EXIT
start_x
export QT_ACCESSIBILITY=0 HOME="$E2E_TMP/home" XDG_CONFIG_HOME="$E2E_TMP/home/.config"
mkdir -p "$HOME"
IDLE_MS=${IDLE_MS:-700}

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null; }

# time_until_idle PID START KEY: milliseconds from START until PID last used
# CPU time, once it has a visible window; KEY (if any) is pressed in that window.
time_until_idle() {
    local pid=$1 start=$2 key=$3 now ticks prev=-1 last window= limit
    last=$(now_ms)
    limit=$(( last + 300000 ))
    while :; do
        now=$(now_ms)
        ticks=$(cpu_ticks "$pid") || return 1
        if [ "$ticks" != "$prev" ]; then prev=$ticks; last=$now; fi
        if [ -z "$window" ]; then
            window=$(timeout 5 xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1) || true
            if [ -n "$window" ] && [ -n "$key" ]; then
                timeout 5 xdotool windowfocus --sync "$window" key "$key" 2>/dev/null
                last=$(now_ms)
            fi
        elif [ $(( now - last )) -ge "$IDLE_MS" ]; then
            echo $(( last - start ))
            return 0
        fi
        [ "$now" -lt "$limit" ] || return 1
        sleep 0.01
    done
}

# one_run NAME DIR COMMAND...: prints the time of one run.
one_run() {
    local key=$1 dir=$2 start pid t
    shift 2
    start=$(now_ms)
    (cd "$dir" && exec "$@" >/dev/null 2>&1) &
    pid=$!
    t=$(time_until_idle "$pid" "$start" "$key") || t=
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    [ -n "$t" ] && echo "$t"
}

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

for mb in "$@"; do
    dir="$E2E_TMP/news-$mb"
    mkdir -p "$dir"
    "$bench" news-file $(( mb * 1000 * 1000 )) "$dir/news.txt"
    # One run each first, not counted: caches and FeatherPad's first-start files.
    one_run "" "$dir" featherpad "$dir/news.txt" >/dev/null
    one_run ctrl+l "$dir" "$app" >/dev/null
    herald=() feather=()
    for ((run = 0; run < runs; ++run)); do
        feather+=("$(one_run "" "$dir" featherpad "$dir/news.txt")")
        herald+=("$(one_run ctrl+l "$dir" "$app")")
    done
    h=$(printf '%s\n' "${herald[@]}" | median)
    f=$(printf '%s\n' "${feather[@]}" | median)
    printf '%s MB start-up + load to idle: Heraldpad %s ms (%s), FeatherPad %s ms (%s), ratio %s\n' \
        "$mb" "$h" "${herald[*]}" "$f" "${feather[*]}" "$(awk -v a="$h" -v b="$f" 'BEGIN{printf "%.2f", a/b}')"
done

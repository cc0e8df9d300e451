#!/usr/bin/env bash
# Prints the benchmark table: median, min and max of several runs per figure,
# then the odd files, once each.
# Usage: bench/run.sh BUILD_DIR [RUNS]
set -euo pipefail
bin="$1/bench/heraldbench"
runs="${2:-5}"
export QT_QPA_PLATFORM=offscreen QT_ACCESSIBILITY=0
export XDG_RUNTIME_DIR=$(mktemp -d /tmp/heraldbench.XXXXXX)
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
{
    printf 'figure\tmedian\tmin\tmax\tunit\n'
    "$bin" startup "$runs"
    "$bin" rule "$runs"
    for mb in 1 10 50; do
        "$bin" file "$mb" "$runs"
    done
} | column -t -s $'\t'
echo
echo "Odd files through the window, once each:"
for kind in news-200MB one-line-20MB crlf-10MB binary; do
    "$bin" odd-made "$kind"
done
echo
echo "($(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $runs runs each)"

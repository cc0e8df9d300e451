#!/usr/bin/env bash
# Prints the benchmark table: median, min and max of several runs per figure,
# then the odd files, once each. The shown-window figures come from a window
# on a private X server (Xvfb), as a user meets it; the rest drive the window
# in-process on the offscreen platform; with WINDOWS_EXE, the Windows program's
# rows under wine.
# Usage: [WINDOWS_EXE=heraldpad.exe] bench/run.sh BUILD_DIR [RUNS]
set -euo pipefail
bin=$(readlink -f "$1/bench/heraldbench")
runs="${2:-5}"
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/tests/e2e/xsession.sh"
trap stop_all EXIT
start_x
export QT_ACCESSIBILITY=0
{
    printf 'figure\tmedian\tmin\tmax\tunit\n'
    for mb in 10 50; do
        "$bin" shown "$mb" "$runs"
    done
    "$bin" save-progress 250 3
    "$bin" startup "$runs"
    "$bin" rule "$runs"
    for mb in 1 10 50; do
        "$bin" file "$mb" "$runs"
    done
    # Shift-JIS beside Windows-1252, the same number of bytes.
    "$bin" file 50 "$runs" 932
    "$bin" file 50 "$runs" 932 second-pairs
    "$bin" aids "$runs"
    "$bin" paragraph "$runs"
    # The Windows program under wine: 100 KB and 1 MB shown after its window appears.
    if [ -n "${WINDOWS_EXE:-}" ]; then
        "$ROOT/bench/windows.sh" "$WINDOWS_EXE" "$bin" "$runs" 100 1000
    fi
} | column -t -s $'\t'
echo
echo "Odd files through the window, once each:"
for kind in news-200MB one-line-20MB crlf-10MB binary; do
    "$bin" odd-made "$kind"
done
echo
echo "Spelling libraries: loading en_US, 1 MB of English, 100 suggestions (ms):"
cat /usr/share/common-licenses/GPL-3 /usr/share/common-licenses/Apache-2.0 >"$E2E_TMP/english.txt"
for ((run = 0; run < runs; ++run)); do
    "$(dirname "$bin")/spellers" /usr/share/hunspell/en_US "$E2E_TMP/english.txt"
done | awk -F'\t' '{v[$1] = v[$1] " " $2} END {for (k in v) print k ":" v[k]}' | sort
echo
echo "Beside FeatherPad, in windows on a private X server, timed from outside the same way:"
"$ROOT/bench/peers.sh" "$1" "$runs" 10 50
echo
echo "($(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $runs runs each)"

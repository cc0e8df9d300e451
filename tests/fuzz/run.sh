#!/usr/bin/env bash
# Runs the news file fuzz target for a while, starting from the corpus kept here.
# Usage: run.sh BUILD_DIR SECONDS
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
scratch=$(mktemp -d /tmp/heraldpad-fuzz.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/found"
# New inputs go to the scratch folder; the corpus in the repository stays as it is.
ASAN_OPTIONS=detect_leaks=1 "$1/tests/fuzz/fuzz_newsfile" -max_total_time="$2" -timeout=20 \
    -rss_limit_mb=4096 -max_len=65536 -print_final_stats=1 -artifact_prefix="$scratch/" \
    "$scratch/found" "$here/corpus" >"$scratch/log" 2>&1
status=$?
tail -n 8 "$scratch/log"
if [ $status -ne 0 ]; then
    grep -E 'round trip|ERROR|SUMMARY' "$scratch/log"
    for crash in "$scratch"/crash-* "$scratch"/leak-* "$scratch"/timeout-*; do
        [ -f "$crash" ] && { echo "input that failed ($crash):"; od -An -c "$crash" | head -n 20; }
    done
    echo "fuzz: 0 passed, 1 failed"
    exit 1
fi
echo "fuzz: 1 passed, 0 failed"

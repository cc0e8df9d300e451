#!/usr/bin/env bash
# Checks that the C++ sources are formatted as .clang-format says; with --fix,
# formats them. Needs clang-format (make deps-test installs it).
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(find core commands ui win32ui platform tests bench -name '*.cpp' -o -name '*.h' | LC_ALL=C sort)
if [ "${1:-}" = --fix ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}"; then
    echo "Not formatted as .clang-format says: run scripts/check-format.sh --fix" >&2
    exit 1
fi
echo "format: ${#files[@]} files as .clang-format says"

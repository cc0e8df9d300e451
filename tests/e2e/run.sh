#!/usr/bin/env bash
# Drives the real program in a private X server, as a writer would.
# Usage: run.sh PATH_TO_HERALDPAD
set -u
APP=$(readlink -f "$1")
HERE=$(dirname "$(readlink -f "$0")")
. "$HERE/xsession.sh"
trap stop_all EXIT

start_x

fresh_folder() {
    local d
    d=$(mktemp -d "$E2E_TMP/work.XXXXXX")
    echo "$d"
}

# 532 x 490, centred on the 1024 x 768 screen (no frame without a window manager).
placed_and_sized() {
    local geometry
    geometry=$(timeout 5 xdotool getwindowgeometry "$WID" 2>/dev/null)
    echo "$geometry" | grep -q 'Geometry: 532x490' && echo "$geometry" | grep -q 'Position: 246,139'
}

start_title_and_size() {
    start_app "$(fresh_folder)" || return 1
    title_is "Orbitane Heraldpad 1.3" || { echo "title: $(xdotool getwindowname "$WID")"; return 1; }
    wait_for 5 placed_and_sized || { xdotool getwindowgeometry "$WID"; return 1; }
}

typing_marks_the_title() {
    start_app "$(fresh_folder)" || return 1
    keys x
    wait_for 5 title_is "Orbitane Heraldpad 1.3*" || { echo "no mark"; return 1; }
    keys BackSpace
    wait_for 5 title_is "Orbitane Heraldpad 1.3" || { echo "mark stayed"; return 1; }
}

quickload_then_quicksave_keeps_bytes() {
    local dir
    dir=$(fresh_folder)
    {
        printf 'Top news\r\n'
        printf '%b' "$(for b in $(seq 128 255); do printf '\\x%02x' "$b"; done)"
        printf '\r\n\r\nlast line\r\n'
    } >"$dir/news.txt"
    cp "$dir/news.txt" "$dir/expected"
    start_app "$dir" || return 1
    keys ctrl+l
    wait_for 5 title_is "Orbitane Heraldpad 1.3" || return 1
    # The text is really there: read it back through the clipboard.
    keys ctrl+a ctrl+c
    local copied
    copied=$(timeout 5 xclip -o -selection clipboard 2>/dev/null | head -n 1)
    [ "$copied" = "Top news" ] || { echo "clipboard: $copied"; return 1; }
    printf 'changed\r\n' >"$dir/news.txt"
    keys ctrl+s
    wait_for 5 cmp -s "$dir/news.txt" "$dir/expected" || { echo "bytes differ"; cmp "$dir/news.txt" "$dir/expected"; return 1; }
}

quicksave_without_file_asks_for_one() {
    start_app "$(fresh_folder)" || return 1
    keys a ctrl+s
    wait_for 10 find_window '^Save text file$' || { echo "no Save dialog"; return 1; }
    keys Escape
    wait_for 5 bash -c "! xdotool search --onlyvisible --name '^Save text file$' >/dev/null 2>&1" || return 1
    focus_main
    title_is "Orbitane Heraldpad 1.3*" || return 1
}

exit_asks_and_no_ends_without_writing() {
    local dir
    dir=$(fresh_folder)
    printf 'kept\r\n' >"$dir/news.txt"
    start_app "$dir" || return 1
    keys ctrl+l
    wait_for 5 title_is "Orbitane Heraldpad 1.3" || return 1
    keys z
    wait_for 5 title_is "Orbitane Heraldpad 1.3*" || return 1
    keys ctrl+e
    wait_for 10 find_window '^SecureSave$' || { echo "no prompt"; return 1; }
    app_running || return 1
    keys n
    wait_for 10 app_gone || { echo "still running"; return 1; }
    [ "$(cat "$dir/news.txt")" = "$(printf 'kept\r')" ] || { echo "file was written"; return 1; }
}

check "start, title and centred size" start_title_and_size
check "typing marks the title, Backspace removes the mark" typing_marks_the_title
check "Quickload then Ctrl+S keeps every byte" quickload_then_quicksave_keeps_bytes
check "Ctrl+S with no file opens the Save dialog" quicksave_without_file_asks_for_one
check "Ctrl+E with unsaved text asks; No ends without writing" exit_asks_and_no_ends_without_writing

echo "e2e: $PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]

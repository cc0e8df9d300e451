#!/usr/bin/env bash
# Drives the real program in a private X server, as a writer would.
# Usage: run.sh PATH_TO_HERALDPAD PATH_TO_DRAG_SOURCE
set -u
APP=$(readlink -f "$1")
DRAG_SOURCE=$(readlink -f "$2")
HERE=$(dirname "$(readlink -f "$0")")
. "$HERE/xsession.sh"
. "$HERE/textarea.sh"
trap stop_all EXIT

start_x

# 532 x 490 inside; the outer window centred on the 1024 x 768 screen: the
# window itself without a window manager, its frame with one (within 2 pixels).
placed_and_sized() {
    local geometry parent frame x y w h
    geometry=$(timeout 5 xdotool getwindowgeometry "$WID" 2>/dev/null)
    echo "$geometry" | grep -q 'Geometry: 532x490' || return 1
    if [ -z "$WM_PID" ]; then
        echo "$geometry" | grep -q 'Position: 246,139'
        return
    fi
    parent=$(timeout 5 xwininfo -tree -id "$WID" | awk '/Parent window id/{print $4}')
    frame=$(timeout 5 xwininfo -id "$parent")
    x=$(echo "$frame" | awk '/Absolute upper-left X/{print $4}')
    y=$(echo "$frame" | awk '/Absolute upper-left Y/{print $4}')
    w=$(echo "$frame" | awk '/Width:/{print $2}')
    h=$(echo "$frame" | awk '/Height:/{print $2}')
    [ "$w" -gt 532 ] && [ "$h" -gt 490 ] || return 1
    near "$x" $(( (1024 - w) / 2 )) && near "$y" $(( (768 - h) / 2 ))
}

near() {
    [ $(( $1 - $2 )) -le 2 ] && [ $(( $2 - $1 )) -le 2 ]
}

start_title_and_size() {
    start_app "$(fresh_folder)" || return 1
    title_is "$TITLE" || { echo "title: $(xdotool getwindowname "$WID")"; return 1; }
    wait_for 5 placed_and_sized || { xdotool getwindowgeometry "$WID"; return 1; }
}

typing_marks_the_title() {
    start_app "$(fresh_folder)" || return 1
    keys x
    wait_for 5 title_is "$TITLE*" || { echo "no mark"; return 1; }
    keys BackSpace
    wait_for 5 title_is "$TITLE" || { echo "mark stayed"; return 1; }
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
    wait_for 5 title_is "$TITLE" || return 1
    # The text is really there: read it back through the clipboard.
    keys ctrl+a ctrl+c
    local copied
    copied=$(timeout 5 xclip -o -selection clipboard 2>/dev/null | head -n 1)
    [ "$copied" = "Top news" ] || { echo "clipboard: $copied"; return 1; }
    # Written over the program's own earlier save without a question.
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
    title_is "$TITLE*" || return 1
}

exit_asks_and_no_ends_without_writing() {
    local dir
    dir=$(news_folder 'kept\r\n')
    start_app "$dir" || return 1
    keys ctrl+l
    wait_for 5 title_is "$TITLE" || return 1
    keys z
    wait_for 5 title_is "$TITLE*" || return 1
    keys ctrl+e
    wait_for 10 find_window '^SecureSave$' || { echo "no prompt"; return 1; }
    app_running || return 1
    keys n
    wait_for 10 app_gone || { echo "still running"; return 1; }
    [ "$(cat "$dir/news.txt")" = "$(printf 'kept\r')" ] || { echo "file was written"; return 1; }
}

# The text of the text area, through the clipboard.
copied_text() {
    keys ctrl+a ctrl+c
    timeout 5 xclip -o -selection clipboard 2>/dev/null
}

tab_reaches_the_buttons() {
    start_app "$(fresh_folder)" || return 1
    # Text area, Load ..., Save as ..., the info box, Exit.
    keys Tab Tab Tab Tab
    title_is "$TITLE" || { echo "a tab was typed"; return 1; }
    keys space
    wait_for 10 app_gone || { echo "Exit not reached by Tab"; return 1; }
}

prompt_dismissed_keeps_the_text() {
    start_app "$(fresh_folder)" || return 1
    keys x
    local dismiss
    for dismiss in Escape ${WM_PID:+alt+F4}; do
        keys ctrl+e
        wait_for 10 find_window '^SecureSave$' || { echo "no prompt"; return 1; }
        keys "$dismiss"
        wait_for 5 bash -c "! xdotool search --onlyvisible --name '^SecureSave$' >/dev/null 2>&1" \
            || { echo "$dismiss left the prompt open"; return 1; }
        app_running || { echo "$dismiss ended the program"; return 1; }
        focus_main
        title_is "$TITLE*" || return 1
    done
    [ "$(copied_text)" = x ] || { echo "text lost"; return 1; }
}

fifo_is_refused_at_once() {
    local dir
    dir=$(fresh_folder)
    mkfifo "$dir/news.txt"
    start_app "$dir" || return 1
    keys ctrl+l
    wait_for 5 bash -c '[ "$(timeout 5 xclip -o -selection clipboard 2>/dev/null)" = "$1" ] || { xdotool key ctrl+a ctrl+c; false; }' _ "$LOAD_ERROR" \
        || { echo "no error text: the window may hang"; return 1; }
    keys y
    wait_for 5 title_is "$TITLE*" || { echo "not answering after the load"; return 1; }
}

progress_shows() { find_window '^Orbitane Heraldpad$'; }
progress_gone() { ! progress_shows; }

first_line() {
    keys ctrl+Home shift+End ctrl+c End
    timeout 5 xclip -o -selection clipboard 2>/dev/null
}

# Keys typed while a long load or save runs are handled after it, in order,
# by the text area; the progress window shows within a second of the start.
long_load_and_save_keep_keys_and_show_progress() {
    local dir line='Relay station news of the day, with pilots, ore prices and dock times.'
    dir=$(fresh_folder)
    yes "$line"$'\r' | head -n 1000000 >"$dir/news.txt"
    { printf abcdefghijkl; cat "$dir/news.txt"; } >"$dir/expected"
    start_app "$dir" || return 1
    keys ctrl+l
    wait_for 20 progress_shows || { echo "no progress window"; return 1; }
    timeout 10 xdotool type --delay 40 abcdefghijkl
    progress_shows || { echo "the load ended before the keys: too short to tell"; return 1; }
    wait_for 60 progress_gone || { echo "progress window stayed"; return 1; }
    wait_for 10 title_is "$TITLE*" || { echo "keys typed during the load were lost"; return 1; }
    [ "$(first_line)" = "abcdefghijkl$line" ] || { echo "first line: $(first_line)"; return 1; }

    rm "$dir/news.txt"
    local start elapsed
    start=$(date +%s%N)
    timeout 5 xdotool key ctrl+s
    wait_for 20 progress_shows || { echo "no progress window for the save"; return 1; }
    elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
    timeout 10 xdotool type --delay 40 mnop
    progress_shows || { echo "the save ended before the keys: too short to tell"; return 1; }
    [ "$elapsed" -le 1000 ] || { echo "the save's progress showed after $elapsed ms"; return 1; }
    wait_for 60 progress_gone || { echo "progress window stayed"; return 1; }
    wait_for 60 cmp -s "$dir/news.txt" "$dir/expected" || { echo "saved bytes differ"; return 1; }
    wait_for 10 title_is "$TITLE*" || { echo "keys typed during the save were lost"; return 1; }
    [ "$(first_line)" = "abcdefghijkl${line}mnop" ] || { echo "first line: $(first_line)"; return 1; }
}

client_position() {
    timeout 5 xdotool getwindowgeometry "$WID" 2>/dev/null | awk '/Position/{print $2}'
}

# Moved by the user half a second after start, the window stays where it was put.
moved_window_stays() {
    start_app "$(fresh_folder)" || return 1
    sleep 0.3
    timeout 5 xdotool windowmove --sync "$WID" 30 40 2>/dev/null
    sleep 0.3
    local placed
    placed=$(client_position)
    sleep 1.5
    [ "$(client_position)" = "$placed" ] || { echo "moved from $placed to $(client_position)"; return 1; }
    [ "${placed%,*}" -lt 150 ] || { echo "not moved: $placed"; return 1; }
}

size_is() {
    timeout 5 xdotool getwindowgeometry "$WID" 2>/dev/null | grep -q "Geometry: $1\$"
}

# Maximised 0.2 s after it shows, then restored: back at its fixed size.
early_maximise_restores_the_size() {
    local try
    for try in 1 2 3; do
        start_app "$(fresh_folder)" || return 1
        timeout 5 wmctrl -i -r "$WID" -b add,maximized_vert,maximized_horz
        wait_for 5 bash -c "! xdotool getwindowgeometry $WID | grep -q 'Geometry: 532x490'" \
            || { echo "try $try: not maximised"; return 1; }
        sleep 0.5
        timeout 5 wmctrl -i -r "$WID" -b remove,maximized_vert,maximized_horz
        wait_for 5 size_is 532x490 || {
            echo "try $try: restored at $(xdotool getwindowgeometry "$WID" | grep Geometry)"
            return 1
        }
        end_app || return 1
    done
}

# Gives each letter of the string a key of its own before the program starts,
# as a keyboard layout of the language would: xdotool then need not remap a
# key while typing, which can lose the first letter.
map_letters() {
    local free letters i=0 c code
    # The keys that had no letter when first asked, used again each time.
    [ -s "$E2E_TMP/free-keycodes" ] ||
        xmodmap -pke | awk 'NF == 3 && $2 > 8 {print $2}' >"$E2E_TMP/free-keycodes"
    free=($(cat "$E2E_TMP/free-keycodes"))
    while IFS= read -r -n1 c; do
        [ -n "$c" ] || continue
        [ $i -lt ${#free[@]} ] || { echo "no free key for $c"; return 1; }
        code=$(printf '%s' "$c" | iconv -f UTF-8 -t UTF-32BE | od -An -tx1 | tr -d ' \n' | sed 's/^0*//')
        letters+=(-e "keycode ${free[$i]} = U$(printf '%04X' "0x$code")")
        i=$((i + 1))
    done <<<"$1"
    timeout 5 xmodmap "${letters[@]}"
}

# News files in the code page of the locale: LANG alone decides here.
# code_page_round_trip LANG FILE_BYTES SHOWN TYPED SAVED_BYTES [PASTED BYTES_AFTER]:
# loads news.txt, checks what shows, types and saves; then pastes and saves.
# The folder stays in dir.
code_page_round_trip() {
    local lang=$1 saved=("${APP_ENV[@]}")
    dir=$(fresh_folder)
    printf '%b' "$2" >"$dir/news.txt"
    printf '%b' "$5" >"$dir/expected"
    [ -n "$lang" ] && APP_ENV+=("LANG=$lang")
    map_letters "$4"
    start_app "$dir"
    local started=$?
    APP_ENV=("${saved[@]}")
    [ $started -eq 0 ] || return 1
    keys ctrl+l
    [ "$(copied_text)" = "$3" ] || { echo "shown as: $(copied_text)"; return 1; }
    keys ctrl+End
    timeout 10 xdotool type --delay 60 "$4"
    wait_for 5 title_is "$TITLE*" || return 1
    keys ctrl+s
    wait_for 10 cmp -s "$dir/news.txt" "$dir/expected" \
        || { echo "saved:"; od -An -tx1 "$dir/news.txt"; return 1; }
    [ $# -ge 7 ] || return 0
    # Pasted from another program: saved as its bytes too.
    printf '%s' "$6" >"$E2E_TMP/paste"
    printf '%b' "$7" >"$dir/expected"
    set_selection clipboard "$E2E_TMP/paste"
    keys ctrl+End ctrl+v ctrl+s
    wait_for 10 cmp -s "$dir/news.txt" "$dir/expected" \
        || { echo "pasted and saved:"; od -An -tx1 "$dir/news.txt"; return 1; }
}

russian_news_in_windows_1251() {
    code_page_round_trip ru_RU.UTF-8 '\xcf\xf0\xe8\xe2\xe5\xf2\r\n' 'Привет' 'Жук' \
        '\xcf\xf0\xe8\xe2\xe5\xf2\r\n\xc6\xf3\xea'
}

greek_news_in_windows_1253() {
    code_page_round_trip el_GR.UTF-8 '\xc3\xe5\xe9\xdc\r\n' 'Γειά' 'αβγ' \
        '\xc3\xe5\xe9\xdc\r\n\xe1\xe2\xe3'
}

# The double-byte code pages; the bytes come from iconv, written out here. The
# file's last line holds a pair that no table defines (or, in 936, a lead byte
# before a byte that cannot trail it), kept as it is through the save.
japanese_news_in_windows_932() {
    code_page_round_trip ja_JP.UTF-8 '\x93\xfa\x96\x7b\r\n\x85\x40\r\n' $'日本\n\uf785@' 'ニュ' \
        '\x93\xfa\x96\x7b\r\n\x85\x40\r\n\x83\x6a\x83\x85' '速報' \
        '\x93\xfa\x96\x7b\r\n\x85\x40\r\n\x83\x6a\x83\x85\x91\xac\x95\xf1'
}

chinese_news_in_windows_936() {
    code_page_round_trip zh_CN.UTF-8 '\xd0\xc2\xce\xc5\r\n\x81\x7f\r\n' $'新闻\n\uf781\x7f' '报道' \
        '\xd0\xc2\xce\xc5\r\n\x81\x7f\r\n\xb1\xa8\xb5\xc0' '新' \
        '\xd0\xc2\xce\xc5\r\n\x81\x7f\r\n\xb1\xa8\xb5\xc0\xd0\xc2'
}

traditional_chinese_news_in_windows_950() {
    code_page_round_trip zh_TW.UTF-8 '\xb7\x73\xbb\x44\r\n\xa3\xfe\r\n' $'新聞\n\uf86c\uf8c7' '報導' \
        '\xb7\x73\xbb\x44\r\n\xa3\xfe\r\n\xb3\xf8\xbe\xc9' '聞' \
        '\xb7\x73\xbb\x44\r\n\xa3\xfe\r\n\xb3\xf8\xbe\xc9\xbb\x44'
}

korean_news_in_windows_949() {
    code_page_round_trip ko_KR.UTF-8 '\xb4\xba\xbd\xba\r\n\xc9\x41\r\n' $'뉴스\n\uf7c9A' '보도' \
        '\xb4\xba\xbd\xba\r\n\xc9\x41\r\n\xba\xb8\xb5\xb5' '스' \
        '\xb4\xba\xbd\xba\r\n\xc9\x41\r\n\xba\xb8\xb5\xb5\xbd\xba'
}

# Characters that Windows-932 and Windows-950 can write as either of two pairs,
# in a file that holds the pairs Windows does not write (Python's cp932 and
# Big5 files do): shown as those characters (clipboard, screen reader), the
# file's pairs written back by a save without edits and by one after an edit
# elsewhere, a typed one written as Windows (932) or Big5 (950) writes it.
# second_pairs LANG FILE_BYTES SHOWN TYPED SAVED_BYTES
second_pairs() {
    local lang=$1 saved=("${APP_ENV[@]}") inode
    dir=$(news_folder "$2")
    printf '%b' "$2" >"$dir/expected"
    APP_ENV+=("LANG=$lang")
    map_letters "$4"
    start_app "$dir"
    local started=$?
    APP_ENV=("${saved[@]}")
    [ $started -eq 0 ] || return 1
    keys ctrl+l
    [ "$(copied_text)" = "$3" ] || { echo "shown as: $(copied_text)"; return 1; }
    # Through AT-SPI, when it runs: the same characters, line by line.
    if [ -n "${BUS_PID:-}" ]; then
        timeout 30 /usr/bin/python3 "$HERE/atspi_text.py" "$APP_PID" | sed -n 1p |
            python3 -c 'import json, sys; read = json.loads(sys.stdin.readline())
sys.exit(read.split() != sys.argv[1].split() and "screen reader: " + read)' "$3" || return 1
    fi
    # No edit: the file is written again (a new file takes its name), the same bytes.
    inode=$(stat -c %i "$dir/news.txt")
    keys ctrl+s
    wait_for 10 bash -c "[ \$(stat -c %i '$dir/news.txt') != $inode ]" || { echo "not saved"; return 1; }
    cmp -s "$dir/news.txt" "$dir/expected" || { echo "no-op save:"; od -An -tx1 "$dir/news.txt"; return 1; }
    keys ctrl+End
    timeout 10 xdotool type --delay 60 "$4"
    wait_for 5 title_is "$TITLE*" || return 1
    printf '%b' "$5" >"$dir/expected"
    keys ctrl+s
    wait_for 10 cmp -s "$dir/news.txt" "$dir/expected" \
        || { echo "saved:"; od -An -tx1 "$dir/news.txt"; return 1; }
}

# 髙橋さん as Python's cp932 writes it (EE E0 for 髙), IBM's Ⅰ (FA 4A) and
# row 87's ≒ (87 90); typed, 髙 and Ⅰ are FB FC and 87 54. Then the Delete
# right after 髙 removes 橋, and the save writes what shows: 髙さん.
second_pairs_in_windows_932() {
    second_pairs ja_JP.UTF-8 '\xee\xe0\x8b\xb4\x82\xb3\x82\xf1\r\n\xfa\x4a\x87\x90\r\n' \
        $'髙橋さん\nⅠ≒' '髙Ⅰ' \
        '\xee\xe0\x8b\xb4\x82\xb3\x82\xf1\r\n\xfa\x4a\x87\x90\r\n\xfb\xfc\x87\x54' || return 1
    keys ctrl+Home Right Delete ctrl+s
    printf '%b' '\xee\xe0\x82\xb3\x82\xf1\r\n\xfa\x4a\x87\x90\r\n\xfb\xfc\x87\x54' >"$dir/expected"
    wait_for 10 cmp -s "$dir/news.txt" "$dir/expected" \
        || { echo "after Delete:"; od -An -tx1 "$dir/news.txt"; return 1; }
    [ "$(copied_text)" = $'髙さん\nⅠ≒\n髙Ⅰ' ] || { echo "shown as: $(copied_text)"; return 1; }
}

# Big5's ═ as Windows writes it (F9 F9), and 十 from the symbol row (A2 CC);
# typed, they are A2 A4 and A4 51.
second_pairs_in_windows_950() {
    second_pairs zh_TW.UTF-8 '\xf9\xf9\xa2\xcc\r\n' $'═十' '═十' \
        '\xf9\xf9\xa2\xcc\r\n\xa2\xa4\xa4\x51'
}

default_locale_keeps_windows_1252() {
    code_page_round_trip "" '\xcf\xf0\xe8\xe2\xe5\xf2\r\n' 'Ïðèâåò' 'é' \
        '\xcf\xf0\xe8\xe2\xe5\xf2\r\n\xe9'
}

# Red pixels (the wavy line's colour) in the text area's first line and below it.
red_under_first_line() {
    timeout 10 import -window "$WID" -crop 522x20+5+50 +repage "$E2E_TMP/line.png" 2>/dev/null
    timeout 10 convert "$E2E_TMP/line.png" txt:- 2>/dev/null | grep -ci '#FF0000'
}

red_line_shows() { [ "$(red_under_first_line)" -gt 5 ]; }

# With the English dictionary of the set-up: a misspelled word typed gets
# its red line once left, a correct one none.
misspelled_word_is_marked() {
    start_app "$(fresh_folder)" || return 1
    timeout 10 xdotool type --delay 40 'the station '
    sleep 0.5
    [ "$(red_under_first_line)" -eq 0 ] || { echo "correct words marked"; return 1; }
    timeout 10 xdotool type --delay 40 'stattion '
    wait_for 5 red_line_shows || { echo "no red line"; return 1; }
}

find_selects_the_word() {
    local dir
    dir=$(news_folder 'ore prices\r\nthe relay station\r\n')
    start_app "$dir" || return 1
    keys ctrl+l ctrl+f
    wait_for 10 find_window '^Find$' || { echo "no Find window"; return 1; }
    timeout 10 xdotool type --delay 40 relay
    keys Return Escape
    wait_for 5 bash -c "! xdotool search --onlyvisible --name '^Find$' >/dev/null 2>&1" || return 1
    focus_main
    keys ctrl+c
    [ "$(timeout 5 xclip -o -selection clipboard 2>/dev/null)" = relay ] \
        || { echo "selected: $(xclip -o -selection clipboard)"; return 1; }
}

# Dark pixels in the text area's top eighty rows, where no other window of
# the program stands: none when it shows no text.
text_pixels() {
    timeout 10 import -window "$WID" -crop 500x80+8+48 +repage "$E2E_TMP/area.png" 2>/dev/null
    timeout 10 convert "$E2E_TMP/area.png" -colorspace Gray -threshold 50% -negate \
        -format '%[fx:int(mean*w*h)]' info: 2>/dev/null
}

text_shows() { [ "$(text_pixels)" -gt 400 ]; }
text_area_top_blank() { [ "$(text_pixels)" -lt 100 ]; }

# A long load started with the Find window open: the text area shows the
# text, and what is typed next, as after any load.
long_load_with_find_open_shows_the_text() {
    local dir line='Relay station news of the day, with pilots, ore prices and dock times.'
    dir=$(fresh_folder)
    yes "$line"$'\r' | head -n 300000 >"$dir/news.txt"
    start_app "$dir" || return 1
    keys ctrl+f
    wait_for 10 find_window '^Find$' || { echo "no Find window"; return 1; }
    keys ctrl+l
    wait_for 20 progress_shows || { echo "no progress window: too short to tell"; return 1; }
    wait_for 60 progress_gone || { echo "progress window stayed"; return 1; }
    wait_for 10 title_is "$TITLE" || return 1
    wait_for 5 text_shows || { echo "the text area is blank: $(text_pixels) dark pixels"; return 1; }
    focus_main
    keys ctrl+Home Return Return Return Return Return Return Return
    wait_for 5 text_area_top_blank || { echo "typed lines not shown: $(text_pixels) dark pixels"; return 1; }
}

# After "Save as ..." by the mouse, what is typed goes to the text, not to
# the button.
keys_go_to_the_text_after_save_as() {
    local dir
    dir=$(news_folder 'news\r\n')
    start_app "$dir" || return 1
    keys ctrl+l ctrl+End x
    wait_for 5 title_is "$TITLE*" || return 1
    timeout 5 xdotool mousemove --window "$WID" 446 20 click 1
    wait_for 10 find_window '^Save text file$' || { echo "no Save dialog"; return 1; }
    sleep 0.5
    timeout 10 xdotool type --delay 40 other.txt
    keys Return
    wait_for 10 test -f "$dir/other.txt" || { echo "not saved"; return 1; }
    wait_for 5 bash -c "! xdotool search --onlyvisible --name '^Save text file$' >/dev/null 2>&1" || return 1
    [ -z "$WM_PID" ] && focus_main
    timeout 10 xdotool type --delay 40 'abc def'
    sleep 0.5
    find_window '^Save text file$' && { echo "the space bar pressed Save as again"; return 1; }
    [ "$(copied_text)" = "$(printf 'news\nxabc def')" ] || { echo "text: $(copied_text)"; return 1; }
}

changed_question_shows() { find_window '^File changed by another program$'; }
changed_question_gone() { ! changed_question_shows; }

# Another program writes news.txt after the load: Ctrl+S asks first; Escape
# writes nothing; "Save over it" writes the writer's text; a touch asks
# nothing; a deleted file is written again.
another_program_changes_the_file() {
    local dir
    dir=$(news_folder 'ours\r\n')
    start_app "$dir" || return 1
    keys ctrl+l ctrl+End x
    wait_for 5 title_is "$TITLE*" || return 1
    printf 'theirs\r\n' >"$dir/news.tmp" && mv "$dir/news.tmp" "$dir/news.txt" # replaced, as editors save
    keys ctrl+s
    wait_for 10 changed_question_shows || { echo "no question"; return 1; }
    keys Escape
    wait_for 5 changed_question_gone || return 1
    [ "$(cat "$dir/news.txt")" = "$(printf 'theirs\r')" ] || { echo "written over"; return 1; }
    focus_main
    title_is "$TITLE*" || return 1
    printf 'in place\r\n' >"$dir/news.txt" # rewritten where it is
    keys ctrl+s
    wait_for 10 changed_question_shows || { echo "no question for a change in place"; return 1; }
    keys alt+s
    wait_for 5 cmp -s "$dir/news.txt" <(printf 'ours\r\nx') || { echo "not saved over"; return 1; }
    focus_main
    wait_for 5 title_is "$TITLE" || return 1
    touch -d '+1 minute' "$dir/news.txt"
    keys y ctrl+s
    wait_for 5 cmp -s "$dir/news.txt" <(printf 'ours\r\nxy') || { echo "a touch stopped the save"; return 1; }
    changed_question_shows && { echo "a touch asked"; return 1; }
    rm "$dir/news.txt"
    keys z ctrl+s
    wait_for 5 cmp -s "$dir/news.txt" <(printf 'ours\r\nxyz') || { echo "a deleted file was not written again"; return 1; }
}

# Back at the window after another program changed the file: it offers
# Reload, which shows the new text without the mark.
activation_offers_reload() {
    local dir
    dir=$(news_folder 'ours\r\n')
    start_app "$dir" || return 1
    keys ctrl+l ctrl+End x
    wait_for 5 title_is "$TITLE*" || return 1
    printf 'new from the desk\r\n' >"$dir/news.txt"
    # Away to another window of the program and back.
    keys ctrl+f
    wait_for 10 find_window '^Find$' || return 1
    keys Escape
    focus_main
    wait_for 10 changed_question_shows || { echo "no Reload offered"; return 1; }
    keys alt+r
    wait_for 5 changed_question_gone || return 1
    focus_main
    wait_for 5 title_is "$TITLE" || { echo "marked after Reload"; return 1; }
    [ "$(copied_text)" = "new from the desk" ] || { echo "text: $(copied_text)"; return 1; }
}

# Back at the window after news.txt became a folder: the text, its mark and
# its undo stay, and the writer is told why it was not reloaded.
reload_that_cannot_read_keeps_the_text() {
    local dir
    dir=$(news_folder 'ours\r\n')
    start_app "$dir" || return 1
    keys ctrl+l ctrl+End x BackSpace
    wait_for 5 title_is "$TITLE" || return 1
    rm "$dir/news.txt" && mkdir "$dir/news.txt"
    keys ctrl+f
    wait_for 10 find_window '^Find$' || return 1
    keys Escape
    focus_main
    wait_for 10 find_window '^File not reloaded$' || { echo "not told"; return 1; }
    keys Return
    wait_for 5 eval '! find_window "^File not reloaded$"' || return 1
    focus_main
    title_is "$TITLE" || { echo "marked"; return 1; }
    keys ctrl+z
    [ "$(copied_text)" = "$(printf 'ours\nx')" ] || { echo "text: $(copied_text)"; return 1; }
}

# heraldpad FILE: a name with a space and accents; a missing file, which
# Ctrl+S creates unless another program put one there meanwhile; a folder.
file_on_the_command_line() {
    local dir
    dir=$(fresh_folder)
    printf 'front page\r\n' >"$dir/Zprávy dne.txt"
    start_app "$dir" "Zprávy dne.txt" || return 1
    [ "$(copied_text)" = "front page" ] || { echo "text: $(copied_text)"; return 1; }
    title_is "$TITLE" || return 1
    end_app || return 1

    start_app "$dir" new.txt || return 1
    keys a ctrl+s
    wait_for 5 cmp -s "$dir/new.txt" <(printf a) || { echo "new.txt not created"; return 1; }
    end_app || return 1

    start_app "$dir" later.txt || return 1
    keys b
    printf 'theirs' >"$dir/later.txt"
    keys ctrl+s
    wait_for 10 find_window '^File created by another program$' || { echo "wrote over a file created meanwhile"; return 1; }
    keys Escape
    [ "$(cat "$dir/later.txt")" = theirs ] || return 1
    end_app || return 1

    start_app "$dir" "$dir" || return 1
    [ "$(copied_text)" = "$LOAD_ERROR" ] || { echo "text: $(copied_text)"; return 1; }
    title_is "$TITLE" || return 1
    # A folder is never asked about: the save fails and says so.
    keys End x ctrl+s
    wait_for 10 find_window '^Save failed$' || { echo "no failure told for a folder"; return 1; }
    changed_question_shows && { echo "asked about a folder"; return 1; }
    keys Return
    return 0
}

# quicksave_in FOLDER: Ctrl+L, a letter and Ctrl+S in a program started there.
quicksave_in() {
    start_app "$1" || return 1
    keys ctrl+l ctrl+End q ctrl+s
    wait_for 5 title_is "$TITLE" || { echo "not saved in $1"; return 1; }
    end_app
}

# A save keeps what the file is: a link, its mode, its owner, its other
# names; in a folder that takes no new file it is written where it is.
save_keeps_what_the_file_is() {
    local dir
    dir=$(fresh_folder)
    printf 'news\r\n' >"$dir/real.txt"
    ln -s real.txt "$dir/news.txt"
    quicksave_in "$dir" || return 1
    [ -L "$dir/news.txt" ] && cmp -s "$dir/real.txt" <(printf 'news\r\nq') || { echo "link"; return 1; }

    dir=$(news_folder 'news\r\n')
    chmod 0640 "$dir/news.txt"
    chown nobody "$dir/news.txt"
    quicksave_in "$dir" || return 1
    [ "$(stat -c '%a %U' "$dir/news.txt")" = "640 nobody" ] || { echo "mode, owner: $(stat -c '%a %U' "$dir/news.txt")"; return 1; }

    dir=$(news_folder 'news\r\n')
    ln "$dir/news.txt" "$dir/other name.txt"
    quicksave_in "$dir" || return 1
    cmp -s "$dir/other name.txt" <(printf 'news\r\nq') || { echo "the other name has the old text"; return 1; }

    # As a writer who may write the file but not the folder; the program is
    # copied where that writer may run it (the build may lie in a private folder).
    dir=$(mktemp -d /tmp/heraldpad-nobody.XXXXXX)
    chmod 0755 "$dir"
    mkdir -m 0755 "$dir/bin" && cp "$APP" "$dir/bin/heraldpad" && chmod 0755 "$dir/bin/heraldpad"
    printf 'news\r\n' >"$dir/news.txt"
    chown nobody "$dir/news.txt"
    local saved_app=$APP
    APP_ENV+=(XDG_RUNTIME_DIR=/tmp)
    APP="/usr/sbin/runuser"
    start_app "$dir" -u nobody -- "$dir/bin/heraldpad"
    local started=$?
    APP=$saved_app
    unset 'APP_ENV[${#APP_ENV[@]}-1]'
    [ $started -eq 0 ] || { rm -rf "$dir"; return 1; }
    keys ctrl+l ctrl+End q ctrl+s
    wait_for 5 cmp -s "$dir/news.txt" <(printf 'news\r\nq')
    local saved=$?
    rm -rf "$dir"
    [ $saved -eq 0 ] || { echo "not written in a folder that takes no new file"; return 1; }
}

# drag_file_to FILE X Y: drags the file from the drag source to the window's X,Y.
drag_file_to() {
    "$DRAG_SOURCE" "$1" >"$E2E_TMP/drag.log" 2>&1 &
    local source=$! sid
    wait_for 10 find_window '^Drag source$' || { echo "no drag source"; kill $source; return 1; }
    sid=$FOUND
    timeout 10 xdotool mousemove --window "$sid" 60 30 mousedown 1 sleep 0.3 \
        mousemove --window "$sid" 80 40 sleep 0.2 mousemove --window "$WID" $(( $2 - 20 )) "$3" \
            sleep 0.3 mousemove --window "$WID" "$2" "$3" sleep 0.3 mouseup 1
    wait_for 10 grep -q 'drop action' "$E2E_TMP/drag.log" || echo "the drag did not end"
    sleep 1
    kill $source
    wait $source 2>/dev/null || true
}

text_is() { [ "$(copied_text)" = "$1" ]; }

# A file dragged from another program onto the text area or the info box is
# opened; with unsaved text, after the prompt.
dropped_file_is_opened() {
    local dir
    dir=$(fresh_folder)
    printf 'dropped news\r\n' >"$dir/dropped.txt"
    start_app "$(fresh_folder)" || return 1
    drag_file_to "$dir/dropped.txt" 260 150 || return 1
    focus_main
    wait_for 10 text_is "dropped news" || { echo "text: $(copied_text)"; return 1; }
    title_is "$TITLE" || return 1
    keys ctrl+End x
    wait_for 5 title_is "$TITLE*" || return 1
    drag_file_to "$dir/dropped.txt" 150 440 || return 1
    wait_for 10 find_window '^SecureSave$' || { echo "no prompt"; return 1; }
    keys n
    wait_for 5 title_is "$TITLE" || return 1
    focus_main
    text_is "dropped news" || { echo "text: $(copied_text)"; return 1; }
    keys ctrl+End y ctrl+s
    wait_for 5 cmp -s "$dir/dropped.txt" <(printf 'dropped news\r\ny') || { echo "not the current file"; return 1; }
}

screen_reader_presses_the_pictures() {
    local dir
    dir=$(news_folder 'from disk\r\n')
    start_app "$dir" || return 1
    timeout 60 /usr/bin/python3 "$HERE/atspi_check.py" "from disk" || return 1
    wait_for 5 title_is "$TITLE"
}

# heraldpad -: the news piped in shows, unsaved; Ctrl+S asks for a name and
# creates no file named "-".
news_from_standard_input() {
    local dir fifo=$E2E_TMP/piped
    dir=$(fresh_folder)
    rm -f "$fifo" && mkfifo "$fifo"
    printf 'piped news\r\nsecond line' >"$fifo" &
    APP_STDIN=$fifo start_app "$dir" - || return 1
    title_is "$TITLE*" || { echo "title: $(xdotool getwindowname "$WID")"; return 1; }
    [ "$(copied_text)" = "$(printf 'piped news\nsecond line\n')" ] || { echo "text: $(copied_text)"; return 1; }
    keys ctrl+s
    wait_for 10 find_window '^Save text file$' || { echo "no Save dialog"; return 1; }
    keys Escape
    [ ! -e "$dir/-" ] || { echo "a file named - was written"; return 1; }
}

# heraldpad - from a pipe that stays open: the window shows while it waits,
# with the progress window; keys do not reach the text; Ctrl+E ends the
# program at once, without a question. A pipe that ends later fills the text.
news_from_a_slow_pipe() {
    local dir fifo=$E2E_TMP/slow writer start elapsed
    dir=$(fresh_folder)
    rm -f "$fifo" && mkfifo "$fifo"
    { printf 'first\r\n'; sleep 30; } >"$fifo" &
    writer=$!
    start=$(date +%s%N)
    APP_STDIN=$fifo start_app "$dir" - || { kill $writer; return 1; }
    elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
    [ "$elapsed" -le 5000 ] || { kill $writer; echo "the window showed after $elapsed ms"; return 1; }
    wait_for 10 progress_shows || { kill $writer; echo "no progress window"; return 1; }
    focus_main
    keys x
    title_is "$TITLE" || { kill $writer; echo "a key reached the text"; return 1; }
    keys ctrl+e
    wait_for 5 app_gone || { kill $writer; echo "Ctrl+E did not end the reading"; return 1; }
    find_window '^SecureSave$' && { kill $writer; echo "asked"; return 1; }
    kill $writer 2>/dev/null
    wait $writer 2>/dev/null

    # Closed by its frame: ended as by Exit.
    if [ -n "$WM_PID" ]; then
        rm -f "$fifo" && mkfifo "$fifo"
        { printf 'first\r\n'; sleep 30; } >"$fifo" &
        writer=$!
        APP_STDIN=$fifo start_app "$dir" - || { kill $writer; return 1; }
        timeout 5 wmctrl -i -c "$WID"
        wait_for 5 app_gone || { kill $writer; echo "closing did not end the reading"; return 1; }
        kill $writer 2>/dev/null
        wait $writer 2>/dev/null
    fi

    rm -f "$fifo" && mkfifo "$fifo"
    { printf 'first\r\n'; sleep 3; printf 'second\r\n'; } >"$fifo" &
    writer=$!
    APP_STDIN=$fifo start_app "$dir" - || { kill $writer; return 1; }
    kill -0 $writer 2>/dev/null || { echo "the window waited for the end of the pipe"; return 1; }
    wait $writer
    wait_for 10 text_is "$(printf 'first\nsecond\n')" || { echo "text: $(copied_text)"; return 1; }
    title_is "$TITLE*" || return 1
    # A read that went through says nothing on the terminal.
    ! grep -q 'standard input' "$E2E_TMP/app.log" || { echo "told: $(cat "$E2E_TMP/app.log")"; return 1; }
}

# A file whose name the locale's character set cannot read: the writer is
# told, the text is the failed load's, and no second file is made at save.
name_not_in_the_character_set() {
    local dir name=$'caf\xe9.txt'
    dir=$(fresh_folder)
    printf 'Latin file\r\n' >"$dir/$name"
    start_app "$dir" "$name" || return 1
    wait_for 10 find_window '^Not opened$' || { echo "not told"; return 1; }
    timeout 5 xdotool windowfocus --sync "$FOUND" 2>/dev/null
    keys Return
    wait_for 5 eval '! find_window "^Not opened$"' || { echo "the message stayed"; return 1; }
    focus_main
    [ "$(copied_text)" = "$LOAD_ERROR" ] || { echo "text: $(copied_text)"; return 1; }
    keys ctrl+End x ctrl+s
    wait_for 10 find_window '^Save text file$' || { echo "no Save dialog"; return 1; }
    keys Escape
    [ "$(ls -A "$dir" | wc -l)" -eq 1 ] || { echo "made: $(ls -A "$dir")"; return 1; }
    cmp -s "$dir/$name" <(printf 'Latin file\r\n') || { echo "the file changed"; return 1; }
}

# away_and_back: to the Find window and back with Escape, where (without a
# window manager) the main window is not activated again.
away_and_back() {
    keys ctrl+f
    wait_for 10 find_window '^Find$' || return 1
    keys Escape
}

# answer_with KEY: the question found last gets the key, with or without a
# window manager.
answer_with() {
    timeout 5 xdotool windowfocus --sync "$FOUND" 2>/dev/null
    keys "$1"
}

link_question_shows() { find_window '^File replaced by a link$'; }
link_question_gone() { ! link_question_shows; }

# news.txt replaced by a link while the writer was in another window: asked
# before anything is read from it; No keeps the text, and the save asks
# again before it would write into the link's target.
link_planted_meanwhile_is_asked_about() {
    local dir
    dir=$(news_folder 'ours\r\n')
    mkdir "$dir/other" && printf 'ours\r\n' >"$dir/other/target.txt"
    start_app "$dir" || return 1
    keys ctrl+l
    wait_for 5 title_is "$TITLE" || return 1
    rm "$dir/news.txt" && ln -s other/target.txt "$dir/news.txt"
    away_and_back || return 1
    wait_for 10 link_question_shows || { echo "not asked on coming back"; return 1; }
    answer_with Escape
    wait_for 5 link_question_gone || return 1
    focus_main
    keys ctrl+End x ctrl+s
    wait_for 10 link_question_shows || { echo "the save did not ask"; return 1; }
    answer_with Escape
    wait_for 5 link_question_gone || return 1
    cmp -s "$dir/other/target.txt" <(printf 'ours\r\n') || { echo "written into the target"; return 1; }
    focus_main
    title_is "$TITLE*" || return 1
}

# A save that fails on a folder in the file's place is told once: not again
# as "not reloaded" when the window is activated.
failed_save_is_told_once() {
    local dir
    dir=$(news_folder 'ours\r\n')
    start_app "$dir" || return 1
    keys ctrl+l ctrl+End x
    wait_for 5 title_is "$TITLE*" || return 1
    rm "$dir/news.txt" && mkdir "$dir/news.txt"
    keys ctrl+s
    wait_for 10 find_window '^Save failed$' || { echo "not told"; return 1; }
    keys Return
    wait_for 5 eval '! find_window "^Save failed$"' || return 1
    focus_main
    away_and_back || return 1
    focus_main
    sleep 1
    find_window '^File not reloaded$' && { echo "told twice"; return 1; }
    title_is "$TITLE*"
}

# Another program appends to the loaded file: back at the window, a screen
# reader hears that the text was reloaded, and the caret is where it was.
reload_is_announced_and_keeps_the_caret() {
    local dir ready=$E2E_TMP/listening
    dir=$(fresh_folder)
    yes 'Relay station news of the day'$'\r' | head -n 2000 >"$dir/news.txt"
    start_app "$dir" || return 1
    keys ctrl+l ctrl+End
    wait_for 5 title_is "$TITLE" || return 1
    rm -f "$ready"
    /usr/bin/python3 "$HERE/atspi_notice.py" "Reloaded from news.txt, which another program changed." \
        "$ready" 30 >"$E2E_TMP/notice.log" 2>&1 &
    local listener=$!
    wait_for 20 test -s "$ready" || { echo "the listener did not start"; kill $listener; return 1; }
    printf 'appended\r\n' >>"$dir/news.txt"
    keys ctrl+f
    wait_for 10 find_window '^Find$' || { kill $listener; return 1; }
    keys Escape
    focus_main
    wait $listener || { cat "$E2E_TMP/notice.log"; return 1; }
    keys Z ctrl+s
    wait_for 5 title_is "$TITLE" || return 1
    [ "$(tail -n 1 "$dir/news.txt")" = "$(printf 'Zappended\r')" ] || { echo "last line: $(tail -n 1 "$dir/news.txt")"; return 1; }
}

# heard MESSAGE KEYS...: a screen reader hears MESSAGE as a notification
# once the keys are pressed.
heard() {
    local ready=$E2E_TMP/listening message=$1 listener
    shift
    rm -f "$ready"
    /usr/bin/python3 "$HERE/atspi_notice.py" "$message" "$ready" 30 >"$E2E_TMP/notice.log" 2>&1 &
    listener=$!
    wait_for 20 test -s "$ready" || { echo "the listener did not start"; kill $listener; return 1; }
    keys "$@"
    wait $listener || { cat "$E2E_TMP/notice.log"; return 1; }
}

# The Find window's result and a save are spoken; the window is a frame.
the_tools_speak() {
    local dir
    dir=$(news_folder 'ore prices\r\n')
    start_app "$dir" || return 1
    keys ctrl+l
    keys ctrl+f
    wait_for 10 find_window '^Find$' || { echo "no Find window"; return 1; }
    timeout 10 xdotool type --delay 40 zebra
    heard '"zebra" is not in the text.' Return || { echo "the result was not heard"; return 1; }
    keys Escape
    focus_main
    keys ctrl+End
    heard 'Unsaved changes' x || { echo "the mark was not heard"; return 1; }
    heard 'Saved to news.txt.' ctrl+s || { echo "the save was not heard"; return 1; }
    timeout 30 /usr/bin/python3 -c 'import pyatspi, sys
for app in pyatspi.Registry.getDesktop(0):
    for window in app:
        if window.name.startswith(sys.argv[1]):
            sys.exit(0 if window.getRole() == pyatspi.ROLE_FRAME else "role: " + window.getRoleName())
sys.exit("no window named " + sys.argv[1])' "$TITLE"
}

scenarios() {
    check "start, title and centred size" start_title_and_size
    check "typing marks the title, Backspace removes the mark" typing_marks_the_title
    check "Quickload then Ctrl+S keeps every byte" quickload_then_quicksave_keeps_bytes
    check "Ctrl+S with no file opens the Save dialog" quicksave_without_file_asks_for_one
    check "Ctrl+E with unsaved text asks; No ends without writing" exit_asks_and_no_ends_without_writing
    check "Tab walks to the buttons" tab_reaches_the_buttons
    check "Escape or closing the prompt keeps the text" prompt_dismissed_keeps_the_text
    check "a FIFO named news.txt is refused at once" fifo_is_refused_at_once
    check "keys typed during a long load and save are kept; progress shows" \
        long_load_and_save_keep_keys_and_show_progress
    check "a window moved by the user stays there" moved_window_stays
    check "LANG=ru_RU: news in Windows-1251" russian_news_in_windows_1251
    check "LANG=el_GR: news in Windows-1253" greek_news_in_windows_1253
    check "the default locale: news in Windows-1252" default_locale_keeps_windows_1252
    check "LANG=ja_JP: news in Windows-932" japanese_news_in_windows_932
    check "LANG=zh_CN: news in Windows-936" chinese_news_in_windows_936
    check "LANG=zh_TW: news in Windows-950" traditional_chinese_news_in_windows_950
    check "LANG=ko_KR: news in Windows-949" korean_news_in_windows_949
    check "LANG=ja_JP: characters with two pairs" second_pairs_in_windows_932
    check "LANG=zh_TW: characters with two pairs" second_pairs_in_windows_950
    check "a misspelled word gets a red line" misspelled_word_is_marked
    check "Ctrl+F, a word, Enter selects it" find_selects_the_word
    check "a file dropped on the window is opened" dropped_file_is_opened
    check "after Save as by the mouse, keys go to the text" keys_go_to_the_text_after_save_as
    check "heraldpad - from a slow pipe: the window waits with it; Ctrl+E ends" news_from_a_slow_pipe
    check "a name the character set cannot read is told, and no file is made" \
        name_not_in_the_character_set
    check "a link planted while away is asked about, and at the save" \
        link_planted_meanwhile_is_asked_about
    check "a failed save is told once" failed_save_is_told_once
}

echo "-- without a window manager"
scenarios
echo "-- under openbox"
start_wm
scenarios
check "maximised at once and restored, the window is back at its size" early_maximise_restores_the_size
check "a long load with the Find window open shows the text" long_load_with_find_open_shows_the_text
check "another program's change: Ctrl+S asks; a touch or a deleted file does not" another_program_changes_the_file
check "back at the window after a change: Reload shows the new text" activation_offers_reload
check "a reload that cannot read keeps the text and says why" reload_that_cannot_read_keeps_the_text
check "heraldpad FILE: accents, a missing file, a folder" file_on_the_command_line
check "a save keeps links, mode, owner, other names; in place where it must" save_keeps_what_the_file_is
check "heraldpad -: the news from standard input, unsaved" news_from_standard_input
check "heraldpad - on a terminal ends at one Ctrl+D" python3 "$HERE/stdin_tty.py" "$APP"
echo "-- through AT-SPI"
start_a11y && check "a screen reader names and presses the pictures" screen_reader_presses_the_pictures
check "LANG=ja_JP: characters with two pairs, as a screen reader reads them" \
    second_pairs_in_windows_932
check "a loaded line looks and acts as a typed one" loaded_and_typed_lines_agree
check "a reload is announced to a screen reader; the caret stays" reload_is_announced_and_keeps_the_caret
check "a screen reader hears the Find result and a save; the window is a frame" the_tools_speak

echo "e2e: $PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]

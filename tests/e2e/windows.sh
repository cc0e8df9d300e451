#!/usr/bin/env bash
# Drives the Windows program under wine in a private X server, as a writer
# would: keys by xdotool, the text read through the clipboard, the files'
# bytes on disk. Screenshots of the run are kept in SHOTS.
# Usage: windows.sh PATH_TO_HERALDPAD_EXE SHOTS
set -u
EXE=$(readlink -f "$1")
SHOTS=$2
HERE=$(dirname "$(readlink -f "$0")")
. "$HERE/xsession.sh"
trap 'wineserver -k 2>/dev/null; stop_all' EXIT
mkdir -p "$SHOTS"
rm -f "$SHOTS"/*.png

# A fresh wine prefix, made without a display, as on a new machine.
export WINEPREFIX="$E2E_TMP/prefix" WINEDEBUG=-all
DISPLAY= wine wineboot --init >"$E2E_TMP/wineboot.log" 2>&1 || { echo "no wine prefix"; exit 1; }
# Ended before the program starts: wine's desktop would stay without a display.
wineserver -w
# The locales wine takes the system's code page from, made here for this run.
export LOCPATH="$E2E_TMP/locales"
mkdir -p "$LOCPATH"
for l in ru_RU ja_JP en_US; do
    localedef -i "$l" -f UTF-8 "$LOCPATH/$l.UTF-8" 2>/dev/null || { echo "no locale $l"; exit 1; }
done

start_x
start_wm

# win_start FOLDER [LANG] [ARGUMENT...]: the program in FOLDER, in the locale LANG.
win_start() {
    local dir=$1 lang=${2:-en_US.UTF-8}
    shift 2 2>/dev/null || shift $#
    (cd "$dir" && LANG=$lang LC_ALL=$lang exec wine "$EXE" "$@" >"$E2E_TMP/app.log" 2>&1) &
    APP_PID=$!
    wait_for 30 find_window "^$TITLE_RE\\*?\$" || { echo "no window"; return 1; }
    WID=$FOUND
    timeout 5 xdotool windowactivate --sync "$WID" 2>/dev/null
    sleep 0.5
}

# The text as the program shows it (wine gives it with LF line ends).
copied_text() {
    keys ctrl+a ctrl+c
    timeout 5 xclip -o -selection clipboard 2>/dev/null
}

# Put in by the clipboard: xdotool's typing drops some characters.
paste_text() {
    printf '%s' "$1" | timeout 5 xclip -selection clipboard -i
    sleep 0.3
    keys ctrl+v
}

shot() {
    timeout 10 import -window root "$SHOTS/$1.png" 2>/dev/null
}

# bytes_are FILE BYTES: FILE holds exactly BYTES (printf's escapes).
bytes_are() {
    printf '%b' "$2" >"$E2E_TMP/expected"
    cmp -s "$1" "$E2E_TMP/expected"
}

dialog_shows() {
    wait_for 15 find_window "^$1\$"
}

has_focus() {
    [ "$(timeout 5 xdotool getwindowfocus 2>/dev/null)" = "$WID" ] && return 0
    timeout 2 xdotool windowactivate "$WID" 2>/dev/null
    return 1
}

# away_and_back COMMAND...: another window is active while COMMAND runs, then
# the program's again.
away_and_back() {
    timeout 30 xmessage -geometry +0+0 "another program" 2>/dev/null &
    local other=$! away
    wait_for 10 find_window '^xmessage$' && away=$FOUND
    timeout 5 xdotool windowactivate --sync "$away" 2>/dev/null
    sleep 0.5
    "$@"
    timeout 5 xdotool windowactivate --sync "$WID" 2>/dev/null
    kill "$other" 2>/dev/null
    wait "$other" 2>/dev/null
    sleep 0.5
}

win_end() {
    wineserver -k 2>/dev/null
    wait_for 10 app_gone
    APP_PID=
}

typed_news_saved_by_ctrl_s() {
    local dir
    dir=$(fresh_folder)
    win_start "$dir" || return 1
    shot window-empty
    timeout 10 xdotool type --delay 40 "Hello news"
    keys Return
    timeout 10 xdotool type --delay 40 "second line"
    wait_for 5 title_is "$TITLE*" || { echo "no mark"; return 1; }
    # No file yet: Ctrl+S asks for one.
    keys ctrl+s
    dialog_shows "Save text file" || { echo "no save dialog"; return 1; }
    shot save-dialog
    timeout 10 xdotool type --delay 40 "news.txt"
    keys Return
    wait_for 10 bytes_are "$dir/news.txt" 'Hello news\r\nsecond line' \
        || { echo "saved:"; od -c "$dir/news.txt"; return 1; }
    wait_for 5 title_is "$TITLE" || { echo "mark stayed"; return 1; }
    shot window-saved
}

# The prompt: Escape keeps everything, No ends without saving, Yes saves and ends.
prompt_answers() {
    local dir
    dir=$(news_folder 'old\r\n')
    win_start "$dir" en_US.UTF-8 news.txt || return 1
    keys ctrl+End
    timeout 10 xdotool type --delay 40 "new"
    wait_for 5 title_is "$TITLE*" || return 1
    # Escape in the text area changes nothing: the edit control would close the window.
    keys Escape
    sleep 1
    app_running && ! find_window "^SecureSave$" || { echo "Escape in the text acted"; return 1; }
    keys ctrl+e
    dialog_shows SecureSave || { echo "no prompt"; return 1; }
    shot prompt
    keys Escape
    wait_for 5 eval '! find_window "^SecureSave$"' || { echo "Escape did not close it"; return 1; }
    app_running && title_is "$TITLE*" || { echo "Escape ended or saved"; return 1; }
    # The close box asks too.
    timeout 5 wmctrl -i -c "$WID"
    dialog_shows SecureSave || { echo "the close box did not ask"; return 1; }
    keys n
    wait_for 10 app_gone || { echo "No did not end it"; return 1; }
    bytes_are "$dir/news.txt" 'old\r\n' || { echo "No wrote"; return 1; }
    APP_PID=
    win_start "$dir" en_US.UTF-8 news.txt || return 1
    keys ctrl+End
    timeout 10 xdotool type --delay 40 "kept"
    keys ctrl+e
    dialog_shows SecureSave || return 1
    keys Return
    wait_for 10 app_gone || { echo "Yes did not end it"; return 1; }
    bytes_are "$dir/news.txt" 'old\r\nkept' || { echo "Yes saved:"; od -c "$dir/news.txt"; return 1; }
}

# code_page_round_trip LANG FILE_BYTES SHOWN PASTED SAVED_BYTES: heraldpad.exe
# FILE shows the file's text, and saves it back byte for byte with more pasted.
code_page_round_trip() {
    local dir
    dir=$(news_folder "$2")
    win_start "$dir" "$1" news.txt || return 1
    [ "$(copied_text)" = "$3" ] || { echo "shown as: $(copied_text)"; return 1; }
    keys ctrl+End
    paste_text "$4"
    keys ctrl+s
    wait_for 10 bytes_are "$dir/news.txt" "$5" || { echo "saved:"; od -An -tx1 "$dir/news.txt"; return 1; }
}

western_news_in_windows_1252() {
    code_page_round_trip en_US.UTF-8 'Caf\xe9 \x80 \x93quoted\x94\r\n' 'Café € “quoted”' 'naïve' \
        'Caf\xe9 \x80 \x93quoted\x94\r\nna\xefve'
}

# A null byte, where the edit control would end the text: shown as the
# symbol for null, written back as the byte it was.
null_byte_kept() {
    code_page_round_trip en_US.UTF-8 'a\x00b\r\n' 'a␀b' 'c' 'a\x00b\r\nc'
}

russian_news_in_windows_1251() {
    code_page_round_trip ru_RU.UTF-8 '\xcf\xf0\xe8\xe2\xe5\xf2\r\n' 'Привет' 'Жук' \
        '\xcf\xf0\xe8\xe2\xe5\xf2\r\n\xc6\xf3\xea'
}

japanese_news_in_windows_932() {
    code_page_round_trip ja_JP.UTF-8 '\x93\xfa\x96\x7b\x8c\xea\r\n' '日本語' 'ｶﾅ' \
        '\x93\xfa\x96\x7b\x8c\xea\r\n\xb6\xc5'
}

# Load by its dialog, with the name typed; Escape in the dialog changes nothing.
load_by_typed_name() {
    local dir
    dir=$(news_folder 'first\r\n')
    printf 'other text\r\n' >"$dir/other.txt"
    win_start "$dir" en_US.UTF-8 news.txt || return 1
    # Tab from the text area to Load ..., and Space presses it.
    keys Tab space
    dialog_shows "Open text file" || { echo "no open dialog"; return 1; }
    keys Escape
    wait_for 5 eval '! find_window "^Open text file$"' || return 1
    [ "$(copied_text)" = "first" ] || { echo "Escape changed the text"; return 1; }
    keys Tab space
    dialog_shows "Open text file" || return 1
    shot open-dialog
    timeout 10 xdotool type --delay 40 "other.txt"
    keys Return
    wait_for 10 eval '[ "$(copied_text)" = "other text" ]' || { echo "shown: $(copied_text)"; return 1; }
    # Ctrl+S now writes there.
    timeout 10 xdotool type --delay 40 "X"
    keys ctrl+s
    wait_for 10 bytes_are "$dir/other.txt" 'X' || { od -c "$dir/other.txt"; return 1; }
    bytes_are "$dir/news.txt" 'first\r\n'
}

# Another program changes the file while the window is in the background:
# back in it, the saved text is reloaded; unsaved text is asked about.
file_changed_meanwhile() {
    local dir
    dir=$(news_folder 'as loaded\r\n')
    win_start "$dir" en_US.UTF-8 news.txt || return 1
    away_and_back eval "printf 'changed outside\r\n' >'$dir/news.txt'"
    wait_for 10 eval '[ "$(copied_text)" = "changed outside" ]' || { echo "shown: $(copied_text)"; return 1; }
    timeout 10 xdotool type --delay 40 "mine"
    wait_for 5 title_is "$TITLE*" || return 1
    away_and_back eval "printf 'again\r\n' >'$dir/news.txt'"
    dialog_shows "File changed by another program" || { echo "not asked"; return 1; }
    shot reload-question
    # The default keeps the writer's text.
    keys Return
    sleep 1
    [ "$(copied_text)" = "mine" ] || { echo "shown: $(copied_text)"; return 1; }
    # Saving over it asks once more; Escape writes nothing.
    keys ctrl+s
    dialog_shows "File changed by another program" || { echo "save did not ask"; return 1; }
    keys Escape
    sleep 1
    bytes_are "$dir/news.txt" 'again\r\n'
}

# A full disk: the save fails, says so, and the file keeps its old bytes.
full_disk() {
    local dir
    dir=$(fresh_folder)
    mkdir "$dir/small"
    if ! mount -t tmpfs -o size=64k tmpfs "$dir/small" 2>/dev/null; then
        echo "(no tmpfs: not root)"; return 0
    fi
    printf 'old news\r\n' >"$dir/small/news.txt"
    head -c 200000 /dev/zero >"$dir/small/filler" 2>/dev/null
    win_start "$dir/small" en_US.UTF-8 news.txt || { umount "$dir/small"; return 1; }
    paste_text "$(head -c 20000 /dev/zero | tr '\0' 'x')"
    keys ctrl+s
    local told=0
    dialog_shows "Save failed" && told=1
    shot save-failed
    keys Return
    sleep 0.5
    local kept=0
    bytes_are "$dir/small/news.txt" 'old news\r\n' && kept=1
    title_is "$TITLE*" || kept=0
    win_end
    umount "$dir/small"
    [ $told = 1 ] || { echo "not told"; return 1; }
    [ $kept = 1 ] || { echo "the file or the mark changed"; return 1; }
}

find_and_replace() {
    local dir
    dir=$(news_folder 'one two one\r\nthree one')
    win_start "$dir" en_US.UTF-8 news.txt || return 1
    keys ctrl+h
    dialog_shows Replace || { echo "no Replace dialog"; return 1; }
    timeout 10 xdotool type --delay 40 "one"
    keys Tab
    timeout 10 xdotool type --delay 40 "1"
    shot replace-dialog
    keys alt+a
    # What it came to shows over the text area.
    wait_for 5 find_window '^Replaced 3 times\.$' || { echo "no notice"; return 1; }
    keys Escape
    wait_for 5 eval '! find_window "^Replace$"' || return 1
    [ "$(copied_text)" = "$(printf '1 two 1\nthree 1')" ] || { echo "shown: $(copied_text)"; return 1; }
    wait_for 5 title_is "$TITLE*" || return 1
    # Find, then F3 again from the top.
    keys ctrl+Home ctrl+f
    dialog_shows Find || return 1
    timeout 10 xdotool type --delay 40 "two"
    keys Return Escape
    sleep 0.5
    keys ctrl+c
    [ "$(timeout 5 xclip -o -selection clipboard)" = "two" ] || { echo "not selected"; return 1; }
}

# client_size_is WIDTHxHEIGHT: the window's client area, in pixels.
client_size_is() {
    timeout 5 xwininfo -id "$WID" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}' |
        grep -qx "$1"
}

# The window's fixed size from the twips table, at 96 dots per inch and at
# 150 % (144): a change of size is undone, maximising is not.
sized_for_the_dpi() {
    win_start "$(fresh_folder)" || return 1
    client_size_is 532x490 || { echo "at 96 dpi: $(xwininfo -id "$WID" | grep -E 'Width|Height')"; return 1; }
    timeout 5 xdotool windowsize --sync "$WID" 700 600 2>/dev/null
    sleep 0.5
    client_size_is 532x490 || { echo "resized"; return 1; }
    # Maximised it grows; restored, it has its size again.
    timeout 5 wmctrl -i -r "$WID" -b add,maximized_vert,maximized_horz
    wait_for 5 eval '! client_size_is 532x490' || { echo "not maximised"; return 1; }
    timeout 5 wmctrl -i -r "$WID" -b remove,maximized_vert,maximized_horz
    wait_for 5 client_size_is 532x490 || { echo "not restored"; return 1; }
    win_end
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
    wineserver -w
    win_start "$(fresh_folder)" || return 1
    shot window-150-percent
    local sized=0
    client_size_is 798x735 && sized=1
    win_end
    wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1
    wineserver -w
    [ $sized = 1 ] || { echo "at 144 dpi: not 798x735"; return 1; }
}

# A long load: its progress shows, and what is typed meanwhile is kept.
long_load_keeps_keys() {
    local dir
    dir=$(fresh_folder)
    awk 'BEGIN { for (i = 0; i < 60000; ++i) printf "line %06d of the long news, caf\351 \200\r\n", i }' \
        >"$dir/news.txt"
    (cd "$dir" && LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 exec wine "$EXE" news.txt >"$E2E_TMP/app.log" 2>&1) &
    APP_PID=$!
    wait_for 30 find_window "^$TITLE_RE\$" || { echo "no window"; return 1; }
    WID=$FOUND
    # Typed once the window has the focus, as a writer would.
    wait_for 10 has_focus || { echo "the window never took the focus"; return 1; }
    timeout 10 xdotool type --delay 40 "KEPT"
    # The progress is a second window of the same title.
    wait_for 10 eval '[ "$(timeout 5 xdotool search --onlyvisible --name "^$TITLE_RE\$" | wc -l)" -ge 2 ]' ||
        { echo "no progress"; return 1; }
    shot long-load-progress
    wait_for 60 eval '[ "$(timeout 5 xdotool search --onlyvisible --name "^$TITLE_RE\\*?\$" | wc -l)" -eq 1 ]' ||
        { echo "the progress stayed"; return 1; }
    timeout 5 xdotool windowactivate --sync "$WID" 2>/dev/null
    keys ctrl+Home shift+End ctrl+c
    [ "$(timeout 5 xclip -o -selection clipboard)" = "KEPTline 000000 of the long news, café €" ] ||
        { echo "first line: $(timeout 5 xclip -o -selection clipboard)"; return 1; }
}

check "sized from the twips table at 96 and 144 dpi" sized_for_the_dpi
win_end
check "typed news saved by Ctrl+S in a typed name" typed_news_saved_by_ctrl_s
win_end
check "the prompt: Escape, the close box, No and Yes" prompt_answers
win_end
check "heraldpad.exe FILE: news in Windows-1252, byte for byte" western_news_in_windows_1252
win_end
check "a null byte in the news kept" null_byte_kept
win_end
check "LANG=ru_RU: news in Windows-1251" russian_news_in_windows_1251
win_end
check "LANG=ja_JP: news in Windows-932" japanese_news_in_windows_932
win_end
check "Load by a typed name; Escape keeps the text" load_by_typed_name
win_end
check "a file changed while the window was in the background" file_changed_meanwhile
win_end
check "a full disk" full_disk
win_end
check "Find and Replace" find_and_replace
win_end
check "a long load shows its progress and keeps the keys typed" long_load_keeps_keys
win_end

echo "$PASSED passed, $FAILED failed; screenshots in $SHOTS"
[ "$FAILED" -eq 0 ]

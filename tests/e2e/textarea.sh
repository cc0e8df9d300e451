# The text area's oracle: the same text once loaded from news.txt and once
# pasted into an empty window, then the same keys and mouse strokes in both;
# the two must agree on the text, the clipboard, the primary selection, the
# pixels of the text area and what a screen reader reads. Sourced by run.sh.

# The texts, with LF; news.txt holds them with CR LF.
diff_text() {
    case $1 in
        words) printf 'alpha one two\nbravo three four\n\ncharlie five six\ndelta seven\n' ;;
        spaces) printf 'alpha  \n\n   \n\tbravo \n\n' ;;
        long) for i in $(seq 1 200); do printf 'line %d of the news\n' "$i"; done ;;
        # In Shift-JIS (Windows-932) in news.txt, under LANG=ja_JP.
        japanese) printf '東京の ニュース 速報\n中継局 価格と 入港\n\n今日の 天気\n' ;;
        # Characters with two pairs in Windows-932, news.txt holding the pairs
        # Windows does not write (second_pairs_bytes).
        second_pairs) printf '髙橋さん ⅰⅠ\n纊≒ ∵￢\n' ;;
    esac
}
second_pairs_bytes() {
    printf '%b' '\xee\xe0\x8b\xb4\x82\xb3\x82\xf1\x20\xee\xef\xfa\x4a\r\n'
    printf '%b' '\xed\x40\x87\x90\x20\xfa\x5b\xee\xf9\r\n'
}

# Mouse positions inside the text area, by line (from 1), in window pixels;
# a line of Liberation Sans 8 pt is 13 pixels high.
LINE_HEIGHT=13
line_y() { echo $(( 46 + 4 + ($1 - 1) * LINE_HEIGHT + LINE_HEIGHT / 2 )); }

# The table: name, text, then the strokes as a function.
row_ctrl_backspace() { keys Down ctrl+BackSpace; }
row_ctrl_backspace_after_empty_line() { keys Down Down Down ctrl+BackSpace; }
row_ctrl_delete_in_last_word() { keys End Left Left ctrl+Delete; }
row_ctrl_right_in_last_word() { keys End Left Left ctrl+Right X; }
row_ctrl_left_at_line_start() { keys Down ctrl+Left X; }
row_ctrl_shift_arrows() { keys End Left Left ctrl+shift+Right ctrl+shift+Right ctrl+shift+Left; }
row_shift_down_cut() { keys Down shift+Down shift+Down ctrl+x; }
row_home_end_enter_backspace_delete() { keys Down End Return BackSpace Home BackSpace Delete Up Down; }
row_triple_click_dragged() {
    timeout 5 xdotool mousemove --window "$WID" 60 "$(line_y 1)" click --repeat 2 --delay 60 1 \
        mousedown 1 mousemove --window "$WID" 62 "$(line_y 2)" sleep 0.1 mouseup 1 || return 1
    sleep 0.3
}
row_triple_click_past_line_end() {
    timeout 5 xdotool mousemove --window "$WID" 400 "$(line_y 2)" click --repeat 3 --delay 60 1 \
        || return 1
    sleep 0.3
}
row_select_all() { keys ctrl+a; }
row_wheel_three_notches() {
    timeout 5 xdotool mousemove --window "$WID" 200 200 click 5 sleep 0.1 click 5 sleep 0.1 \
        click 5 || return 1
    sleep 0.5
}
row_as_loaded() { :; }

DIFF_ROWS=(
    "as_loaded long"
    "ctrl_backspace words" "ctrl_backspace_after_empty_line words"
    "ctrl_delete_in_last_word words" "ctrl_right_in_last_word words"
    "ctrl_left_at_line_start words" "ctrl_shift_arrows words" "shift_down_cut words"
    "home_end_enter_backspace_delete words"
    "triple_click_dragged words" "triple_click_past_line_end words"
    "select_all spaces" "wheel_three_notches long"
    "ctrl_shift_arrows japanese" "home_end_enter_backspace_delete japanese"
    "triple_click_dragged japanese"
    "ctrl_shift_arrows second_pairs" "home_end_enter_backspace_delete second_pairs"
)

# set_selection SELECTION FILE: another program offers the file's text.
set_selection() {
    timeout 60 xclip -selection "$1" -i "$2" >/dev/null 2>&1 &
    sleep 0.2
}

# The text in the window, loaded (how=load) or pasted (how=paste).
open_text() {
    local how=$1 kind=$2 dir saved=("${APP_ENV[@]}")
    dir=$(fresh_folder)
    # A language without a dictionary: no spelling marks in the pictures.
    local lang=xx_XX.UTF-8 codeset=CP1252
    case $kind in japanese | second_pairs) lang=ja_JP.UTF-8 codeset=CP932 ;; esac
    APP_ENV+=(LANG=$lang)
    diff_text "$kind" >"$E2E_TMP/pasted"
    printf none >"$E2E_TMP/none"
    if [ "$how" = load ]; then
        if [ "$kind" = second_pairs ]; then
            second_pairs_bytes >"$dir/news.txt"
        else
            sed 's/$/\r/' "$E2E_TMP/pasted" | iconv -f UTF-8 -t "$codeset" >"$dir/news.txt"
        fi
        start_app "$dir" || return 1
        keys ctrl+l
    else
        start_app "$dir" || return 1
        set_selection clipboard "$E2E_TMP/pasted"
        keys ctrl+v ctrl+Home
    fi
    APP_ENV=("${saved[@]}")
    set_selection clipboard "$E2E_TMP/none"
    set_selection primary "$E2E_TMP/none"
}

# What the user meets, into files OUT.*.
capture() {
    local out=$1
    # Without the caret: the focus on "Load ...", the selection still shown.
    keys Tab
    timeout 10 import -window "$WID" -crop 522x348+5+46 +repage "$out.png" 2>/dev/null
    keys shift+Tab
    timeout 30 /usr/bin/python3 "$HERE/atspi_text.py" "$APP_PID" >"$out.atspi" 2>&1
    keys ctrl+c
    timeout 5 xclip -o -selection clipboard >"$out.clip" 2>/dev/null
    timeout 5 xclip -o -selection primary >"$out.primary" 2>/dev/null
    keys ctrl+a ctrl+c
    timeout 5 xclip -o -selection clipboard >"$out.text" 2>/dev/null
}

differs() {
    local a=$1 b=$2 what=$3 n
    if [ "$what" = png ]; then
        n=$(compare -metric AE "$a.png" "$b.png" null: 2>&1) || true
        [ "$n" = 0 ] && return 1
        echo "  pixels: $n differ"
        return 0
    fi
    cmp -s "$a.$what" "$b.$what" && return 1
    echo "  $what: loaded $(head -c 200 "$a.$what" | od -c | head -n 3)"
    echo "  $what: pasted $(head -c 200 "$b.$what" | od -c | head -n 3)"
    return 0
}

loaded_and_typed_lines_agree() {
    local row name kind how failed=0 out
    for row in "${DIFF_ROWS[@]}"; do
        read -r name kind <<<"$row"
        for how in load paste; do
            out="$E2E_TMP/diff-$name-$kind-$how"
            open_text "$how" "$kind" || return 1
            "row_$name" || { echo "  $name: the strokes could not be made"; return 1; }
            capture "$out"
            end_app || return 1
        done
        local what bad=
        for what in text clip primary atspi png; do
            differs "$E2E_TMP/diff-$name-$kind-load" "$E2E_TMP/diff-$name-$kind-paste" "$what" \
                && bad="$bad $what"
        done
        # The strokes did what they are for: text read, something selected, scrolled.
        out="$E2E_TMP/diff-$name-$kind-load"
        [ -s "$out.text" ] || bad="$bad (no text read)"
        case $name in
            triple* | select* | ctrl_shift*)
                [ "$(cat "$out.clip")" != none ] || bad="$bad (nothing selected)" ;;
            wheel*)
                differs "$out" "$E2E_TMP/diff-as_loaded-long-load" png >/dev/null \
                    || bad="$bad (not scrolled)" ;;
        esac
        if [ -n "$bad" ]; then
            echo "  $name on $kind: differs in$bad"
            failed=1
        fi
    done
    return $failed
}

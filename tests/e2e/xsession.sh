# Shared by the end-to-end scripts: a private Xvfb, the program under it, and
# waits that always end. Source it; call start_x first and stop_all at the end.

E2E_TMP=$(mktemp -d /tmp/heraldpad-e2e.XXXXXX)
# The program's own texts, from the one place it keeps them.
MESSAGES="$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../../core/messages.cpp"
TITLE=$(sed -n 's/.*{Message::WindowTitle, u"\(.*\)"},/\1/p' "$MESSAGES")
LOAD_ERROR=$(sed -n 's/.*{Message::LoadError, u"\(.*\)"},/\1/p' "$MESSAGES")
TITLE_RE=$(printf '%s' "$TITLE" | sed 's/[].[*^$\\]/\\&/g')
XVFB_PID=
WM_PID=
BUS_PID=
ATSPI_PID=
APP_PID=
APP_ENV=()
PASSED=0
FAILED=0

start_x() {
    mkdir -m 0700 "$E2E_TMP/runtime"
    exec 3>"$E2E_TMP/display"
    # -noreset: otherwise the server resets whenever its last client leaves,
    # and turns away whoever connects meanwhile.
    Xvfb -displayfd 3 -screen 0 ${SCREEN:-1024x768x24} -noreset -nolisten tcp -nolisten unix-abstract \
        >"$E2E_TMP/xvfb.log" 2>&1 &
    XVFB_PID=$!
    exec 3>&-
    wait_for 10 test -s "$E2E_TMP/display" || { echo "Xvfb did not start"; cat "$E2E_TMP/xvfb.log"; exit 1; }
    export DISPLAY=":$(cat "$E2E_TMP/display")"
    export QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=0 DBUS_SESSION_BUS_ADDRESS=disabled:
    export XDG_RUNTIME_DIR="$E2E_TMP/runtime" ASAN_OPTIONS=detect_leaks=0
    unset WAYLAND_DISPLAY SESSION_MANAGER LC_ALL LC_CTYPE
    # The default locale; a scenario that needs another sets LANG for its program.
    export LANG=C.UTF-8
    wait_for 10 xdpyinfo >/dev/null 2>&1 || { echo "X server not answering"; exit 1; }
}

# A window manager (openbox), so that windows get frames and are placed and
# closed as on a desktop.
start_wm() {
    openbox --config-file /etc/xdg/openbox/rc.xml >"$E2E_TMP/openbox.log" 2>&1 &
    WM_PID=$!
    wait_for 10 wm_running || { echo "openbox did not start"; cat "$E2E_TMP/openbox.log"; exit 1; }
}

wm_running() {
    timeout 5 xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# A private session bus with the accessibility bus on it, as a screen reader
# has; programs started after this are seen through AT-SPI.
start_a11y() {
    dbus-daemon --session --fork --address="unix:path=$E2E_TMP/bus" --print-pid=4 \
        4>"$E2E_TMP/bus.pid" >"$E2E_TMP/dbus.log" 2>&1 || { echo "no D-Bus"; return 1; }
    BUS_PID=$(cat "$E2E_TMP/bus.pid")
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_TMP/bus"
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_TMP/atspi.log" 2>&1 &
    ATSPI_PID=$!
    APP_ENV=(QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1)
}

stop_all() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
    [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null
    [ -n "$BUS_PID" ] && kill "$BUS_PID" 2>/dev/null
    [ -n "$ATSPI_PID" ] && kill "$ATSPI_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$E2E_TMP"
}

# wait_for SECONDS COMMAND...: true as soon as COMMAND succeeds.
wait_for() {
    local limit=$(( $1 * 10 )) i=0
    shift
    while [ $i -lt $limit ]; do
        "$@" && return 0
        sleep 0.1
        i=$((i + 1))
    done
    return 1
}

# A new empty folder to start the program in.
fresh_folder() {
    mktemp -d "$E2E_TMP/work.XXXXXX"
}

# news_folder BYTES: a new folder whose news.txt holds BYTES (printf's
# backslash escapes), for the program to start in.
news_folder() {
    local dir
    dir=$(fresh_folder)
    printf '%b' "$1" >"$dir/news.txt"
    echo "$dir"
}

# start_app FOLDER [ARGUMENT...]: runs the program with FOLDER as working
# directory, and APP_STDIN, when set, as its standard input.
start_app() {
    (cd "$1" && exec env "${APP_ENV[@]}" "$APP" "${@:2}" <"${APP_STDIN:-/dev/null}" >"$E2E_TMP/app.log" 2>&1) &
    APP_PID=$!
    WID=
    wait_for 20 find_window "^$TITLE_RE\\*?\$" || { echo "no window"; cat "$E2E_TMP/app.log"; return 1; }
    WID=$FOUND
    focus_main
}

find_window() {
    FOUND=$(timeout 5 xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [ -n "$FOUND" ]
}

# Without a window manager the focus falls to the root window when a dialog
# closes; give it back to the main window before typing.
focus_main() {
    timeout 5 xdotool windowfocus --sync "$WID" 2>/dev/null
    sleep 0.2
}

keys() {
    timeout 5 xdotool key --delay 30 "$@"
    sleep 0.3
}

title_is() {
    [ "$(timeout 5 xdotool getwindowname "$WID" 2>/dev/null)" = "$1" ]
}

app_running() {
    kill -0 "$APP_PID" 2>/dev/null
}

app_gone() {
    ! app_running
}

end_app() {
    [ -n "$APP_PID" ] || return 0
    if app_running; then
        kill "$APP_PID" 2>/dev/null
        wait_for 5 app_gone
    fi
    wait "$APP_PID" 2>/dev/null
    if grep -q 'ERROR: AddressSanitizer\|runtime error:' "$E2E_TMP/app.log"; then
        echo "sanitizer report:"; cat "$E2E_TMP/app.log"; return 1
    fi
    APP_PID=
}

# check NAME COMMAND...: runs one scenario and counts it.
check() {
    local name=$1
    shift
    if "$@"; then
        echo "PASS: $name"
        PASSED=$((PASSED + 1))
    else
        echo "FAIL: $name"
        [ -s "$E2E_TMP/app.log" ] && { echo "  the program said:"; tail -n 20 "$E2E_TMP/app.log" | sed 's/^/  | /'; }
        FAILED=$((FAILED + 1))
    fi
    end_app || { echo "FAIL: $name (after the run)"; FAILED=$((FAILED + 1)); }
}

#!/usr/bin/env bash
# Installs the Windows program with its installer, silently, in a fresh wine
# prefix; opens a file with the installed program as "Open with" would; then
# uninstalls it and checks that nothing of it is left.
# Usage: windows.sh PATH_TO_SETUP_EXE
set -u
SETUP=$(readlink -f "$1")
HERE=$(dirname "$(readlink -f "$0")")
. "$HERE/../e2e/xsession.sh"
trap 'wineserver -k 2>/dev/null; stop_all' EXIT
export WINEPREFIX="$E2E_TMP/prefix" WINEDEBUG=-all
DISPLAY= wine wineboot --init >"$E2E_TMP/wineboot.log" 2>&1 || { echo "no wine prefix"; exit 1; }

C="$WINEPREFIX/drive_c"
FOLDER="$C/Program Files/Orbitane Heraldpad"
MENU="$C/ProgramData/Microsoft/Windows/Start Menu/Programs/Orbitane Heraldpad.lnk"
APP_KEY='HKLM\Software\Classes\Applications\heraldpad.exe'
UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\OrbitaneHeraldpad'
failed=0
fail() { echo "FAIL: $*"; failed=1; }

reg_value() { # KEY [VALUE]: the value's data, or nothing when the key is not there
    local which=(/ve)
    [ $# -gt 1 ] && which=(/v "$2")
    DISPLAY= wine reg query "$1" "${which[@]}" /reg:64 2>/dev/null | tr -d '\r' |
        awk -F'    ' 'NF >= 4 { print $4 }'
}

DISPLAY= wine "$SETUP" /S || fail "the installer failed"
wineserver -w
for f in heraldpad.exe uninstall.exe README.txt LICENSE.txt; do
    [ -f "$FOLDER/$f" ] || fail "not installed: $f"
done
[ -f "$MENU" ] || fail "no Start menu entry"
open_with=$(reg_value "$APP_KEY\\shell\\open\\command")
[ "$open_with" = '"C:\Program Files\Orbitane Heraldpad\heraldpad.exe" "%1"' ] ||
    fail "Open with runs: $open_with"
[ "$(reg_value "$UNINSTALL_KEY" DisplayVersion)" = "1.03" ] || fail "no Apps & features entry"

# What "Open with" runs: the installed program with the file. Once every
# program started without a display has ended: wine's desktop would stay
# without one.
wineserver -w
start_x
printf 'Installed and opened\r\n' >"$E2E_TMP/news.txt"
(cd "$E2E_TMP" && exec wine "$FOLDER/heraldpad.exe" 'news.txt' >"$E2E_TMP/app.log" 2>&1) &
APP_PID=$!
if wait_for 30 find_window "^$TITLE_RE\$"; then
    WID=$FOUND
    timeout 5 xdotool windowfocus --sync "$WID" 2>/dev/null
    sleep 0.5
    keys ctrl+a ctrl+c
    shown=$(timeout 5 xclip -o -selection clipboard 2>/dev/null)
    [ "$shown" = "Installed and opened" ] || fail "the installed program shows: $shown"
else
    fail "the installed program showed no window"; cat "$E2E_TMP/app.log"
fi
wineserver -k 2>/dev/null
APP_PID=

DISPLAY= wine "$FOLDER/uninstall.exe" /S || fail "the uninstaller failed"
# It runs from a copy of itself, which it starts and leaves to work.
wait_for 60 test ! -e "$FOLDER" || fail "left behind: $(ls "$FOLDER" 2>&1)"
wineserver -w
[ ! -e "$MENU" ] || fail "the Start menu entry is left"
[ -z "$(reg_value "$APP_KEY\\shell\\open\\command")" ] || fail "the Open with entry is left"
[ -z "$(reg_value "$UNINSTALL_KEY" DisplayVersion)" ] || fail "the Apps & features entry is left"

[ $failed = 0 ] && echo "PASS: installed, opened a file, uninstalled without a trace"
exit $failed

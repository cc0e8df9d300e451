#!/usr/bin/env bash
# Installs the build into a temporary folder and builds its Debian package:
# the installed files, the validators, the package's contents and Depends, and
# the program unpacked from the package showing its window under Xvfb.
# Usage: run.sh BUILD_DIR VERSION (the project's, as CMake has it)
set -u
BUILD=$(readlink -f "$1")
VERSION=$2
HERE=$(dirname "$(readlink -f "$0")")
APP=
. "$HERE/../e2e/xsession.sh"
trap stop_all EXIT
expected="$HERE/expected-files.txt"

installed_files() {
    local stage="$E2E_TMP/stage"
    DESTDIR="$stage" cmake --install "$BUILD" --prefix /usr >"$E2E_TMP/install.log" 2>&1 || { cat "$E2E_TMP/install.log"; return 1; }
    (cd "$stage/usr" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort) >"$E2E_TMP/installed"
    diff -u <(LC_ALL=C sort "$expected") "$E2E_TMP/installed"
}

validators_pass() {
    local stage="$E2E_TMP/stage/usr/share"
    desktop-file-validate "$stage/applications/org.orbitane.heraldpad.desktop" &&
        appstreamcli validate --no-net --pedantic "$stage/metainfo/org.orbitane.heraldpad.metainfo.xml" >"$E2E_TMP/as.log" 2>&1 ||
        { cat "$E2E_TMP/as.log"; return 1; }
    # One file a window, and offered for plain text in the file manager.
    grep -q '^Exec=heraldpad %f$' "$stage/applications/org.orbitane.heraldpad.desktop" &&
        grep -q '^MimeType=text/plain;$' "$stage/applications/org.orbitane.heraldpad.desktop"
}

package_lists_the_same() {
    (cd "$BUILD" && cpack -G DEB -B "$E2E_TMP/pkg" >"$E2E_TMP/cpack.log" 2>&1) || { cat "$E2E_TMP/cpack.log"; return 1; }
    DEB=$(ls "$E2E_TMP"/pkg/heraldpad_"$VERSION"_*.deb 2>/dev/null | head -n 1)
    [ -n "$DEB" ] || { echo "no heraldpad_${VERSION}_<arch>.deb"; ls "$E2E_TMP/pkg"; return 1; }
    dpkg-deb -c "$DEB" | awk '{print $6}' | grep -v '/$' | sed 's|^\./usr/||' | LC_ALL=C sort >"$E2E_TMP/packaged"
    diff -u <(LC_ALL=C sort "$expected") "$E2E_TMP/packaged" || return 1
    local depends
    depends=$(dpkg-deb -f "$DEB" Depends)
    local need
    for need in libqt6widgets6 libc6 qt6-qpa-plugins fonts-liberation2 libnuspell5; do
        echo "$depends" | grep -q "$need" || { echo "Depends: $depends"; return 1; }
    done
    dpkg-deb -f "$DEB" Recommends | grep -q hunspell-en-us || { echo "no dictionary recommended"; return 1; }
}

unpacked_program_starts() {
    [ -n "${DEB:-}" ] || return 1
    dpkg-deb -x "$DEB" "$E2E_TMP/root" || return 1
    APP="$E2E_TMP/root/usr/bin/heraldpad"
    mkdir -p "$E2E_TMP/work"
    # Started as the file manager starts it: the entry's Exec line with a file.
    local file="$E2E_TMP/work/from the file manager é.txt" exec
    printf 'opened\r\n' >"$file"
    exec=$(sed -n 's/^Exec=//p' "$E2E_TMP/root/usr/share/applications/org.orbitane.heraldpad.desktop")
    [ "${exec% %f}" = heraldpad ] || { echo "Exec=$exec"; return 1; }
    start_app "$E2E_TMP/work" "$file" || return 1
    title_is "$TITLE" || return 1
    timeout 5 xdotool key ctrl+a ctrl+c
    sleep 0.3
    [ "$(timeout 5 xclip -o -selection clipboard 2>/dev/null)" = opened ] || { echo "text: $(xclip -o -selection clipboard)"; return 1; }
}

version_without_a_display() {
    [ "$(env -u DISPLAY QT_QPA_PLATFORM= "$E2E_TMP/root/usr/bin/heraldpad" --version 2>&1)" = "heraldpad $VERSION" ] &&
        ! env -u DISPLAY "$E2E_TMP/root/usr/bin/heraldpad" --no-such-option 2>/dev/null
}

# The release entry is written out by hand, with its date and words: the
# newest one must be the version being built.
newest_release_is_this_version() {
    local newest
    newest=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' \
        "$HERE/../../desktop/org.orbitane.heraldpad.metainfo.xml" | head -n 1)
    [ "$newest" = "$VERSION" ] || { echo "newest release $newest, project $VERSION"; return 1; }
}

start_x
check "the AppStream release entry is the project's version" newest_release_is_this_version
check "install holds exactly the expected files" installed_files
check "desktop entry and AppStream metadata validate" validators_pass
check "the package holds the same files, with its Depends" package_lists_the_same
check "the program from the package opens a file as the file manager starts it" unpacked_program_starts
check "--version needs no display" version_without_a_display
echo "install: $PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]

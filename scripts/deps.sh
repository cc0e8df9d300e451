#!/usr/bin/env bash
# Installs the Debian packages a goal needs, when they are missing.
# Usage: scripts/deps.sh build|test|bench|package|windows
# As root it installs them with apt-get; otherwise it prints the line to run.
set -euo pipefail

# The program itself: Qt, its X11 platform plugin, the font the window is drawn
# in, the spelling library, ICU (Unicode's normal forms and character classes)
# and the English dictionary.
build=(cmake make g++ qt6-base-dev qt6-qpa-plugins fonts-liberation2 libnuspell-dev libicu-dev
       hunspell-en-us)
case "${1:-build}" in
    build) want=("${build[@]}") ;;
    # End-to-end: a private X server, a window manager, a screen reader's
    # view of the program (AT-SPI on a private D-Bus), and a font with
    # Japanese, Chinese and Korean letters, so their pixels mean something;
    # the tables the code page tables are written from and checked against
    # (glibc's charmaps, Python's codecs, Perl's Encode, wine's .nls files);
    # clang-format, which CI checks the sources with; the portable core's
    # tests (doctest), built for Windows with mingw-w64 and run under wine,
    # with the Windows program and its installer (NSIS).
    test) want=("${build[@]}" xvfb xdotool xclip x11-utils x11-xserver-utils openbox wmctrl
                imagemagick fonts-dejavu-core fonts-noto-cjk
                dbus-daemon dbus-bin at-spi2-core python3-pyatspi
                clang libclang-rt-14-dev desktop-file-utils appstream dpkg-dev fakeroot file
                locales python3 perl libwine clang-format
                doctest-dev g++-mingw-w64-x86-64-posix wine wine64 nsis) ;;
    # FeatherPad: the fastest peer, timed beside the editor;
    # and wine, which runs the Windows program for its row.
    bench) want=("${build[@]}" bsdextrautils xvfb xdotool x11-utils featherpad libhunspell-dev
                 wine wine64) ;;
    package) want=("${build[@]}" dpkg-dev fakeroot file) ;;
    # The Windows program, its zip and its installer: no Qt, only mingw-w64,
    # NSIS, and Python, which draws the pictures.
    windows) want=(cmake make python3 g++-mingw-w64-x86-64-posix nsis) ;;
    *) echo "usage: $0 build|test|bench|package|windows" >&2; exit 2 ;;
esac

missing=()
for pkg in "${want[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
    [ "$status" = installed ] || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Heraldpad needs these Debian packages. Install them with:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"

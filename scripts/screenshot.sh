#!/usr/bin/env bash
# Takes docs/screenshot.png: the editor under a private Xvfb and openbox, with its
# frame and title bar, holding a short news text.
# Usage: scripts/screenshot.sh [PATH_TO_HERALDPAD]   (default: build/run/ui/heraldpad)
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
APP=$(readlink -f "${1:-$ROOT/build/run/ui/heraldpad}")
. "$ROOT/tests/e2e/xsession.sh"
trap stop_all EXIT
command -v import >/dev/null || { echo "needs ImageMagick's import: apt-get install imagemagick"; exit 1; }

start_x
start_wm
work="$E2E_TMP/work"
mkdir "$work"
printf '%b' 'Orbitane/Novaglide news, 7 December\r\n\r\nThe relay station on Kessa Prime is back online after\xa0three days of repairs. Pilots may dock again from the next cycle.\r\n\r\nPrices for refined ore rose by 4\xa0% at the Tarn exchange.\r\n' >"$work/news.txt"
start_app "$work"
keys ctrl+l
sleep 0.5
frame=$(xwininfo -tree -id "$WID" | awk '/Parent window id/{print $4}')
import -window "$frame" "$ROOT/docs/screenshot.png"
echo "wrote docs/screenshot.png"

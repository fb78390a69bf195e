#!/usr/bin/env bash
# Takes docs/screenshot-windows.png: the Windows build's window under Wine on a
# virtual X display, in a Chinese locale. Needs Xvfb, xwd (x11-apps) and
# netpbm; run after scripts/run-windows-tests.sh has built build-win/.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
export LOCPATH=$repo/build-win/locale LC_ALL=zh_CN.UTF-8
export KESTRUNE_WINEPREFIX=$repo/build-win/wineprefix
display=:$((RANDOM % 400 + 100))
Xvfb "$display" -screen 0 640x400x24 -nolisten tcp &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
work=$(mktemp -d)
(cd "$work" && "$repo/scripts/wine-run.sh" "$repo/build-win/app/gui/kestrune.exe") &
program=$!
# The window has appeared once its title is on the display.
for _ in $(seq 300); do
    xwininfo -root -tree 2>/dev/null | grep -q 'Kestrune' && break
    sleep 0.1
done
sleep 2 # let Wine finish drawing the frame; nothing on the display says when
xwd -root -silent | xwdtopnm 2>/dev/null | pnmcrop | pnmtopng >docs/screenshot-windows.png
kill $program 2>/dev/null || true
WINEPREFIX=$KESTRUNE_WINEPREFIX wineserver -k 2>/dev/null || true
rm -rf "$work"
echo "docs/screenshot-windows.png"

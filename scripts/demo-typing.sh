#!/usr/bin/env bash
# Types into the demonstration window on the current X display (scripts/demo.sh runs it
# on a virtual screen): Wubi codes as real key events, then a screenshot of the window
# with its candidate list, and the typed text. The settings live in a fresh folder, so
# earlier runs change neither the order of the candidates nor your own settings.
# Usage: demo-typing.sh [code...]   (default: wqvb khlg lwty ggtt, the last left open)
set -euo pipefail
cd "$(dirname "$0")/.."
export ZL_WINEPREFIX="${ZL_WINEPREFIX:-$PWD/build/wineprefix}"
codes=("$@")
((${#codes[@]})) || codes=(wqvb khlg lwty ggtt)
shot=build/demo.png
user=build/demo-user
rm -rf "$user" && mkdir -p "$user"
export ZLWB_USERDIR="Z:$PWD/$user"

scripts/wine-run.sh dist/zldemo.exe &
demo=$!
trap 'kill $demo 2>/dev/null || true; WINEPREFIX=$ZL_WINEPREFIX wineserver -k 2>/dev/null || true' EXIT
title="泽仑五笔输入法 - 演示与设置"
win=$(timeout 120 xdotool search --sync --name "$title" | head -1)

# Every code but the last is committed with Space; the last stays open with its candidates.
last=$((${#codes[@]} - 1))
for i in "${!codes[@]}"; do
  xdotool type --delay 60 "${codes[$i]}"
  ((i == last)) || xdotool key space
done
sleep 1

eval "$(xdotool getwindowgeometry --shell "$win")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shot"
echo "typed: $(scripts/wine-run.sh build/x64/tools/zldemotext.exe) (still typing: ${codes[$last]})"
echo "screenshot: $PWD/$shot"
xdotool key alt+F4
wait $demo 2>/dev/null || true

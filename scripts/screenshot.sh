#!/usr/bin/env bash
# Makes the README's screenshot: starts the program under Xvfb with openbox, runs the Group
# command on a sample group through the real file dialog, and captures the screen.
#   scripts/screenshot.sh [GROUP] [OUT.png] [VIEW-BUTTON-INDEX]
# REZ_POINT="X Y" rests the mouse pointer on that screen position before the capture (a bar
# of a chart, for its readout); REZ_CROP="WxH+X+Y" keeps only that part of the screen.
# REZ_BIN names the folder of the program (default build/dev/bin, built when missing), so an
# installed copy can be checked the same way.
set -euo pipefail
cd "$(dirname "$0")/.."
group="${1:-Smirnov}"
out="${2:-docs/screenshot.png}"
bin="${REZ_BIN:-build/dev/bin}"
if [ -z "${REZ_BIN:-}" ] && [ ! -x "$bin/rez" ]; then
  cmake --preset dev >/dev/null && cmake --build --preset dev
fi
case "$bin" in /*) ;; *) bin="$(pwd)/$bin" ;; esac

display=":77"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $app $wm $xvfb 2>/dev/null || true' EXIT
export DISPLAY="$display"
sleep 1
openbox >/dev/null 2>&1 &
wm=$!
sleep 1
QT_QPA_PLATFORM=xcb "$bin/rez" >/dev/null 2>&1 &
app=$!
sleep 2

window=$(xdotool search --sync --name "КВИРО.REZ" | head -1)
xdotool windowactivate --sync "$window"
# The Group command is the first entry of the menu bar.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove --window "$window" 25 10 click 1
sleep 1.5
first=$(ls "$bin/Data/$group" | head -1)
xdotool type --delay 20 "$bin/Data/$group/$first"
xdotool key Return
sleep 1.5
if [ -n "${3:-}" ]; then
  # One of the nine view buttons, from the top.
  xdotool mousemove --window "$window" 60 $((57 + 21 * $3)) click 1
  sleep 0.5
fi
if [ -n "${REZ_POINT:-}" ]; then
  # shellcheck disable=SC2086
  xdotool mousemove $REZ_POINT
  sleep 0.5
fi
mkdir -p "$(dirname "$out")"
import -window root "$out"
if [ -n "${REZ_CROP:-}" ]; then
  mogrify -crop "$REZ_CROP" +repage "$out"
fi
echo "screenshot: $out"

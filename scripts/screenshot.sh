#!/usr/bin/env bash
# Makes the README's screenshot: starts the program under Xvfb with openbox, runs the Group
# command on a sample group through the real file dialog, and captures the screen.
#   scripts/screenshot.sh [GROUP] [OUT.png] [VIEW-BUTTON-INDEX]
# REZ_POINT="X Y" rests the mouse pointer on that screen position before the capture (a bar
# of a chart, for its readout); REZ_CROP="WxH+X+Y" keeps only that part of the screen.
# REZ_BIN names the folder of the program (default build/dev/bin, built when missing), so an
# installed copy can be checked the same way. REZ_WINE=1 takes the Windows program instead
# (default build/windows/bin, run under Wine in its build tree's prefix, with Windows' own
# file dialog).
set -euo pipefail
cd "$(dirname "$0")/.."
group="${1:-Smirnov}"
out="${2:-docs/screenshot.png}"
wine="${REZ_WINE:-}"
if [ -n "$wine" ]; then
  bin="${REZ_BIN:-build/windows/bin}"
  if [ -z "${REZ_BIN:-}" ] && [ ! -f "$bin/rez.exe" ]; then
    cmake --preset windows >/dev/null && cmake --build --preset windows --target rez rez_samples
  fi
else
  bin="${REZ_BIN:-build/dev/bin}"
  if [ -z "${REZ_BIN:-}" ] && [ ! -x "$bin/rez" ]; then
    cmake --preset dev >/dev/null && cmake --build --preset dev
  fi
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
if [ -n "$wine" ]; then
  "$bin/../wine-run" "$bin/rez.exe" >/dev/null 2>&1 &
  app=$!
  sleep 8 # a fresh prefix starts its services first
else
  QT_QPA_PLATFORM=xcb "$bin/rez" >/dev/null 2>&1 &
  app=$!
  sleep 2
fi

window=$(xdotool search --sync --name "КВИРО.REZ" | head -1)
xdotool windowactivate --sync "$window"
# The Group command is the first entry of the menu bar.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove --window "$window" 25 10 click 1
sleep 1.5
first=$(ls "$bin/Data/$group" | head -1)
if [ -n "$wine" ]; then
  # Windows' dialog takes the file by its Windows name: / is the drive Z:.
  xdotool type --delay 20 "Z:$(printf '%s' "$bin/Data/$group/$first" | tr / '\\')"
else
  xdotool type --delay 20 "$bin/Data/$group/$first"
fi
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

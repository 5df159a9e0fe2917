#!/usr/bin/env bash
# Starts text-to-md5.exe under Wine on the X server of DISPLAY (a private
# one, from tests/with-xvfb.sh), saves a picture of the screen and one of the
# window alone; then pastes a text with characters that code page 1252 lacks
# (or TEXT), saves the window with it, and then with the output box's
# tooltip; then closes the window with Alt+F4 and checks that the program
# ended well. Wine's DPI comes from TTM_WINE_DPI, its ANSI code page from
# LC_ALL (C.UTF-8 gives 1252).
# Usage: screenshot.sh WINE_RUN PREFIXES_DIR EXE OUTPUT_BASE
# writes OUTPUT_BASE.png (screen), OUTPUT_BASE-window.png,
# OUTPUT_BASE-pasted.png and OUTPUT_BASE-tooltip.png.
set -eu
source "$(dirname "$0")/../e2e_lib.sh"
wine_run=$1 prefixes=$2 exe=$3 output=$4
mkdir -p "$(dirname "$output")"

"$wine_run" "$prefixes" "$exe" &
run_pid=$!

if ! window=$(focus_window 60); then
  kill "$run_pid" 2>/dev/null || true
  exit 1
fi
sleep 1 # the first paint
import -window root "$output.png"
eval "$(xdotool getwindowgeometry --shell "$window")"
convert "$output.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
  "$output-window.png"
echo "screenshot: $output.png, window ${WIDTH}x${HEIGHT} at ${X},${Y}"

# A point just below the window's centre lies in txtMD5. The tooltip opens
# below the pointer, at most 4 inches wide.
# Pasted: Wine reads the keys that xdotool types for CJK and Arabic
# characters only in part.
printf '%s' "${TEXT:-Tee, Чай}" | xclip -selection clipboard -i
xdotool mousemove 0 0 # away from the output box and its tooltip
xdotool key ctrl+v
sleep 0.5 # the repaint
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
  "$output-pasted.png"
echo "screenshot: $output-pasted.png"
xdotool mousemove --window "$window" $((WIDTH / 2)) $((HEIGHT / 2 + 10))
sleep 0.2
xdotool mousemove_relative 1 1
sleep 2 # the tooltip's delay
import -window root -crop "$((WIDTH * 2))x$((HEIGHT * 2))+${X}+${Y}" \
  +repage "$output-tooltip.png"
echo "screenshot: $output-tooltip.png"

xdotool key alt+F4
status=0
wait "$run_pid" || status=$?
if [ "$status" -ne 0 ]; then
  echo "screenshot: the program ended with status $status after Alt+F4" >&2
  exit 1
fi

# A drawn window has text, frames and a caption: many colours.
colours=$(identify -format '%k' "$output-window.png")
if [ "$colours" -lt 8 ]; then
  echo "screenshot: the window shows only $colours colours" >&2
  exit 1
fi

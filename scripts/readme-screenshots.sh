#!/usr/bin/env bash
# Refreshes the README's pictures of both programs, each on a private Xvfb
# with a text typed in: docs/screenshot-linux.png (Qt),
# docs/screenshot-windows.png (Win32 under Wine) and
# docs/screenshot-tooltip.png (the Windows output box's tooltip over a text
# that code page 1252 cannot hold whole). Builds what is missing.
# Usage: scripts/readme-screenshots.sh
set -euo pipefail
cd "$(dirname "$0")/.."

text="Hello, world"
scripts/setup-deps.sh test
for preset in release mingw; do
  [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" >/dev/null
done
mkdir -p docs

# capture OUTPUT COMMAND...: starts COMMAND, types the text into the window
# "Text to MD5", saves the window, then presses "Close" and waits for the
# program to end.
capture() {
  local output=$1 pid window
  shift
  source tests/e2e_lib.sh
  "$@" &
  pid=$!
  window=$(focus_window 60)
  send_text "$TEXT"
  sleep 0.5 # the last repaint
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$output"
  press_button "Close"
  wait "$pid"
  echo "wrote $output"
}
export -f capture
export TEXT=$text

LC_ALL=C.UTF-8 tests/with-xvfb.sh bash -c \
  'capture docs/screenshot-linux.png build/release/ui/qt/text-to-md5'
tests/with-xvfb.sh bash -c 'capture docs/screenshot-windows.png \
  scripts/wine-run.sh build/mingw/wine build/mingw/ui/win32/text-to-md5.exe'
LC_ALL=C.UTF-8 tests/with-xvfb.sh tests/win32/screenshot.sh \
  scripts/wine-run.sh build/mingw/wine build/mingw/ui/win32/text-to-md5.exe \
  build/mingw/screenshots/readme
# Without the bare (black) screen around the window and its tooltip.
convert build/mingw/screenshots/readme-tooltip.png -trim +repage \
  docs/screenshot-tooltip.png
echo "wrote docs/screenshot-tooltip.png"

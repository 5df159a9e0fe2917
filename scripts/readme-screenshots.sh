#!/usr/bin/env bash
# Refreshes the README's pictures of both programs, each on a private Xvfb
# with a text typed in: docs/screenshot-linux.png (Qt),
# docs/screenshot-windows.png (Win32 under Wine),
# docs/screenshot-tooltip.png (the Windows output box's tooltip over a text
# that code page 1252 cannot hold whole), and the tooltip with the UTF-8
# digest on both in German, Japanese and Arabic (mirrored):
# docs/screenshot-tooltip-LANGUAGE-linux.png (Qt; German in the Latin-1
# locale de_DE.ISO-8859-1) and docs/screenshot-tooltip-LANGUAGE-windows.png
# (the language's UI and ANSI code page: 1252, 932, 1256). They are also
# made at 144 DPI, in build/screenshots/, to look at. Builds what is
# missing.
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
  # The pointer starts mid-screen, over the output box: its tooltip would
  # cover the picture.
  xdotool mousemove 0 0
  send_text "$TEXT"
  sleep 0.5 # the last repaint
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$output"
  press_button "Close"
  wait "$pid"
  echo "wrote $output"
}
# capture_qt_tooltip OUTPUT SCALE: starts the Qt program scaled by SCALE,
# pastes the text (Qt 6.4 reads the keys that xdotool types for characters
# off the keyboard as Latin-1 in a Latin-1 locale), rests the pointer on the
# output box until its tooltip shows, saves the screen without the bare
# background around the window and the tooltip, then presses "Close".
capture_qt_tooltip() {
  local output=$1 pid window
  QT_SCALE_FACTOR=$2 build/release/ui/qt/text-to-md5 &
  pid=$!
  window=$(timeout 60 xdotool search --sync --onlyvisible \
    --name '^Text to MD5$' | head -n 1)
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  printf '%s' "$TEXT" | xclip -selection clipboard -i
  xdotool key ctrl+v
  eval "$(xdotool getwindowgeometry --shell "$window")"
  # Just above the centre of the undecorated window lies txtMD5.
  xdotool mousemove --window "$window" $((WIDTH / 2)) $((HEIGHT / 2 - 10))
  sleep 0.2
  xdotool mousemove_relative 1 1
  sleep 2 # the tooltip's delay
  import -window root "$output.screen.png"
  convert "$output.screen.png" -trim +repage "$output"
  rm "$output.screen.png"
  xdotool mousemove 0 0
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key --delay 50 Tab Tab space
  wait "$pid"
  echo "wrote $output"
}
export -f capture capture_qt_tooltip
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

# The tooltip in German (Linux in the Latin-1 locale), Japanese and Arabic,
# with the digest that UTF-8 gives, at 96 and 144 DPI.
locales=$PWD/build/screenshot-locales
scripts/make-test-locales.sh "$locales"
mkdir -p build/screenshots
# language, Linux locale, Windows locale (UI language and code page), what
# the Windows picture shows, text. Wine 8 draws the Arabic tooltip's words
# out of order (in the order of a left-to-right line, mirrored) where it
# falls back to another font for Arabic, so the Arabic Windows picture shows
# the mirrored window with the text pasted, without its tooltip.
for entry in "de de_DE.ISO-8859-1 de_DE.UTF-8 tooltip Tee, Чай" \
  "ja ja_JP.UTF-8 ja_JP.UTF-8 tooltip 日本語とعربي" \
  "ar ar_EG.UTF-8 ar_EG.UTF-8 window شاي و 茶"; do
  read -r language linux_locale windows_locale shows text <<<"$entry"
  for dpi in 96 144; do
    out=build/screenshots/tooltip-$language-dpi$dpi
    TEXT=$text LOCPATH=$locales LC_ALL=$linux_locale \
      TEXTDOMAINDIR=build/release/share/locale tests/with-xvfb.sh \
      bash -c "capture_qt_tooltip $out-linux.png $(awk "BEGIN {print $dpi / 96}")"
    TEXT=$text env -u LC_ALL -u LANGUAGE LANG="$windows_locale" \
      LOCPATH="$locales" TTM_WINE_DPI=$dpi tests/with-xvfb.sh \
      tests/win32/screenshot.sh scripts/wine-run.sh build/mingw/wine \
      build/mingw/ui/win32/text-to-md5.exe "$out-windows"
    if [ "$shows" = window ]; then
      cp "$out-windows-pasted.png" "$out-windows.png"
    else
      convert "$out-windows-tooltip.png" -trim +repage "$out-windows.png"
    fi
  done
  for platform in linux windows; do
    cp "build/screenshots/tooltip-$language-dpi96-$platform.png" \
      "docs/screenshot-tooltip-$language-$platform.png"
    echo "wrote docs/screenshot-tooltip-$language-$platform.png"
  done
done

#!/usr/bin/env bash
# Shows Text to MD5 at work on a machine without a display: starts it on a
# private Xvfb, types a text, takes a screenshot, presses "Copy+Close" and
# prints what the clipboard holds after the program has ended.
# Usage: scripts/demo.sh [TEXT]   (default: abc)
set -euo pipefail
cd "$(dirname "$0")/.."

text=${1:-abc}
program=build/release/ui/qt/text-to-md5
screenshot=$PWD/build/demo/text-to-md5.png

scripts/setup-deps.sh test
[ -f build/release/CMakeCache.txt ] || cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
mkdir -p "$(dirname "$screenshot")"

run_demo() {
  local text=$1 program=$2 screenshot=$3 window pid
  source tests/e2e_lib.sh
  "$program" &
  pid=$!
  window=$(focus_window)
  send_text "$text"
  import -window "$window" "$screenshot"
  press_button "Copy+Close"
  wait "$pid"
  echo "Typed:      $text"
  echo "Clipboard:  $(timeout 10 xclip -o -selection clipboard)"
  echo "Screenshot: $screenshot"
}
export -f run_demo

runtime_dir=$(mktemp -d)
trap 'rm -rf "$runtime_dir"' EXIT
LC_ALL=C.UTF-8 XDG_RUNTIME_DIR=$runtime_dir \
  tests/with-xvfb.sh bash -c 'run_demo "$@"' demo "$text" "$program" \
  "$screenshot"

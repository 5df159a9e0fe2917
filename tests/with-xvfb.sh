#!/usr/bin/env bash
# Runs a command against a private Xvfb on a free display, then stops that
# Xvfb (and only it). The screen and resolution can be set with
# XVFB_SCREEN (default 1280x800x24) and XVFB_DPI (default 96).
# Usage: tests/with-xvfb.sh COMMAND [ARG...]
set -euo pipefail

screen=${XVFB_SCREEN:-1280x800x24}
dpi=${XVFB_DPI:-96}
fifo_dir=$(mktemp -d)
mkfifo "$fifo_dir/displayfd"

Xvfb -displayfd 3 -screen 0 "$screen" -dpi "$dpi" -nolisten tcp -noreset \
  3>"$fifo_dir/displayfd" 2>"$fifo_dir/xvfb.log" &
xvfb_pid=$!
stop_xvfb() {
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  rm -rf "$fifo_dir"
}
trap stop_xvfb EXIT

if ! read -r -t 20 display_number <"$fifo_dir/displayfd"; then
  echo "with-xvfb: Xvfb did not start:" >&2
  cat "$fifo_dir/xvfb.log" >&2
  exit 1
fi

export DISPLAY=":$display_number"
unset WAYLAND_DISPLAY
"$@"

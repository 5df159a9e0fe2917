#!/usr/bin/env bash
# Starts PROGRAM with its ARGs on the current X display, waits for its window
# "Text to MD5" and closes it with its "Close" button (keyboard: the focus
# starts in the input box, and Tab, Tab reaches "Close"). Succeeds when the
# program then ends by itself with exit code 0; a program that does not end
# is killed by its pid.
# Usage (under tests/with-xvfb.sh): smoke-window.sh PROGRAM [ARG...]
set -euo pipefail

"$@" &
pid=$!
# shellcheck disable=SC2317  # called by the EXIT trap
stop_program() {
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
}
trap stop_program EXIT

if ! window=$(timeout 60 xdotool search --sync --onlyvisible \
  --name '^Text to MD5$'); then
  echo "smoke-window: no window \"Text to MD5\" within 60 s" >&2
  exit 1
fi
window=${window%%$'\n'*}
echo "smoke-window: window $window is up"

xdotool windowfocus --sync "$window"
xdotool key --delay 100 Tab Tab space

for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
if kill -0 "$pid" 2>/dev/null; then
  echo "smoke-window: the program did not end after \"Close\"" >&2
  exit 1
fi
status=0
wait "$pid" || status=$?
echo "smoke-window: the program ended with exit code $status"
exit "$status"

#!/usr/bin/env bash
# Starts PROGRAM with its ARGs on the current X display, waits for its window
# "Text to MD5" and closes it with its "Close" button, from the keyboard.
# Succeeds when the program then ends by itself with exit code 0; a program
# that does not end is killed by its pid.
# Usage (under tests/with-xvfb.sh): smoke-window.sh PROGRAM [ARG...]
set -euo pipefail
source "$(dirname "$0")/../e2e_lib.sh"

"$@" &
program_pid=$!
started_pids+=("$program_pid")
trap stop_started EXIT

window=$(focus_window 60)
echo "smoke-window: window $window is up"
press_button "Close"
if ! wait_for_end "$program_pid" 10; then
  echo "smoke-window: the program did not end after \"Close\"" >&2
  exit 1
fi
status=0
wait "$program_pid" || status=$?
echo "smoke-window: the program ended with exit code $status"
exit "$status"

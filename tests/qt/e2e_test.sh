#!/usr/bin/env bash
# The whole program on a real X server with no clipboard manager (run it
# under tests/with-xvfb.sh): typed keys, the buttons, the window manager's
# close request, and what the clipboard holds after the program has ended.
# Usage: e2e_test.sh PROGRAM CLOSE_WINDOW_HELPER ARTIFACT_DIR
set -uo pipefail

program=$1
close_window=$2
artifacts=$3
mkdir -p "$artifacts"
export LC_ALL=C.UTF-8
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR

readonly empty_digest=D41D8CD98F00B204E9800998ECF8427E
readonly abc_digest=900150983CD24FB0D6963F7D28E17F72
readonly a_umlaut_digest=8419B71C87A225A2C70B50486FBEE545 # UTF-8 C3 A4

source "$(dirname "$0")/../e2e_lib.sh"
trap 'stop_started; rm -rf "$XDG_RUNTIME_DIR"' EXIT

# Xvfb resets itself, clipboard and all, whenever its last client leaves;
# one idle client keeps it up between the steps.
xprop -root -spy >/dev/null 2>&1 &
keeper_pid=$!

# Runs the command that starts the program (default: the program alone),
# waits for its window and gives it the focus; sets program_pid and
# window_id.
start_program() {
  "${@:-$program}" &
  program_pid=$!
  started_pids+=("$program_pid")
  window_id=$(focus_window)
}




test_copy_and_close_keeps_the_digest_after_exit() {
  start_program || return 1
  send_text abc
  import -window "$window_id" "$artifacts/text-to-md5-abc.png"
  press_and_expect_end "Copy+Close" || return 1
  [ "$(clipboard)" = "$abc_digest" ] || fail "clipboard: $(clipboard)" || return 1
  local targets
  targets=$(clipboard -t TARGETS | tr '\n' ' ')
  for target in UTF8_STRING STRING TEXT text/plain; do
    [[ " $targets" == *" $target "* ]] || fail "no $target in: $targets" || return 1
  done
  [ "$(clipboard -t STRING)" = "$abc_digest" ] || fail "STRING differs" || return 1

  local holder
  holder=$(holder_pid)
  [ -n "$holder" ] || fail "no clipboard holder" || return 1
  [ "$(awk '{print $6}' "/proc/$holder/stat")" = "$holder" ] ||
    fail "holder not detached" || return 1
  set_clipboard "taken over" || return 1
  wait_for_end "$holder" 10 || fail "holder still running after losing the selection"
}

# Qt opens the display named by -display; the digest must stay there.
test_copy_and_close_on_the_display_named_by_argument() {
  start_program env DISPLAY=:bogus "$program" -display "$DISPLAY" || return 1
  send_text abc
  press_and_expect_end "Copy+Close" || return 1
  [ "$(clipboard)" = "$abc_digest" ] || fail "clipboard: $(clipboard)"
}

no_holder_left() { [ -z "$(holder_pid)" ] || fail "a holder was left behind"; }

test_window_manager_close_leaves_the_clipboard_alone() {
  set_clipboard "earlier text" || return 1
  start_program || return 1
  send_text abc
  "$close_window" "$window_id" || fail "close request not sent" || return 1
  wait_for_end "$program_pid" 10 || fail "program still running" || return 1
  wait "$program_pid" || fail "program exited with status $?" || return 1
  [ "$(clipboard)" = "earlier text" ] || fail "clipboard: $(clipboard)"
}

test_typed_non_ascii_text_is_digested_as_utf8() {
  start_program env QT_SCALE_FACTOR=2 "$program" || return 1
  send_text $'\u00e4'
  import -window "$window_id" "$artifacts/text-to-md5-a-umlaut-2x.png"
  press_and_expect_end "Copy+Close" || return 1
  [ "$(clipboard)" = "$a_umlaut_digest" ] || fail "clipboard: $(clipboard)"
}

test_deleting_everything_and_an_edited_large_output_copy_as_shown() {
  # A megabyte pasted over the digest goes back out in INCR chunks.
  local large="$artifacts/large.txt"
  head -c 1048576 /dev/zero | tr '\0' 'x' >"$large"
  set_clipboard "$(cat "$large")" || return 1
  start_program || return 1
  send_text ab
  send_keys BackSpace BackSpace Tab ctrl+a ctrl+c
  [ "$(timeout 10 xclip -o -selection clipboard)" = "$empty_digest" ] ||
    fail "after deleting everything: $(clipboard)" || return 1
  set_clipboard "$(cat "$large")" || return 1
  send_keys ctrl+a ctrl+v
  press_and_expect_end "Copy+Close" "MD5 digest" || return 1
  clipboard | cmp -s - "$large" || fail "the large text came back different"
}

test_without_a_display_it_explains_and_exits() {
  local stderr status case
  for case in "-u DISPLAY" "DISPLAY=:bogus" "-u DISPLAY QT_QPA_PLATFORM=xcb"; do
    # shellcheck disable=SC2086 # the case is a list of env arguments
    stderr=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM $case "$program" \
      2>&1 >/dev/null)
    status=$?
    [ "$status" -eq 1 ] || fail "$case: exit status $status" || return 1
    [ "$(printf '%s\n' "$stderr" | wc -l)" -eq 1 ] ||
      fail "$case: not one line: $stderr" || return 1
    [[ "$stderr" == text-to-md5:*display* ]] ||
      fail "$case: unclear message: $stderr" || return 1
  done
  # In a Latin-1 terminal the German message is Latin-1: "lässt".
  stderr=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM LOCPATH="$TTM_TEST_LOCALES" \
    LC_ALL=de_DE.ISO-8859-1 DISPLAY=:bogus "$program" 2>&1 >/dev/null)
  [[ "$stderr" == *$'l\xe4sst'* ]] ||
    fail "not Latin-1: $(printf '%s' "$stderr" | od -c | head -n 2)" || return 1
  # A platform named explicitly is Qt's to judge: the program starts.
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen \
    timeout 1 "$program" 2>/dev/null
  status=$?
  [ "$status" -eq 124 ] || fail "offscreen: exit status $status"
}

echo "screenshots: $artifacts"
run_tests
status=$?
kill "$keeper_pid" 2>/dev/null
wait "$keeper_pid" 2>/dev/null
exit "$status"

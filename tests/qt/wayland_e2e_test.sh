#!/usr/bin/env bash
# The whole program on a Wayland compositor without a clipboard manager
# (sway, headless): what the clipboard holds after "Copy+Close" and "Close"
# have ended the program. sway refuses to run as root, so as root the script
# runs itself again as an unprivileged user (made if missing) on copies of
# itself and the program that this user can read.
# Usage: wayland_e2e_test.sh PROGRAM
set -uo pipefail

readonly test_user=text-to-md5-test

if [ "$(id -u)" -eq 0 ]; then
  id "$test_user" >/dev/null 2>&1 ||
    useradd --system --user-group --no-create-home --home-dir /nonexistent \
      --shell /usr/sbin/nologin "$test_user" || exit 1
  copies=$(mktemp -d)
  trap 'rm -rf "$copies"' EXIT
  cp "$0" "$copies/test.sh" && cp "$(dirname "$0")/e2e_lib.sh" "$copies" &&
    cp "$1" "$copies/text-to-md5" &&
    chown -R "$test_user:" "$copies" || exit 1
  setpriv --reuid="$test_user" --regid="$test_user" --init-groups \
    env -i PATH="$PATH" HOME="$copies" "$copies/test.sh" \
    "$copies/text-to-md5" </dev/null
  exit
fi

program=$1
export LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR

readonly abc_digest=900150983CD24FB0D6963F7D28E17F72

source "$(dirname "$0")/e2e_lib.sh"

sway_pid=
keyboard_pid=
stop_all() {
  stop_started
  local pid
  for pid in "$keyboard_pid" "$sway_pid"; do
    [ -z "$pid" ] || kill "$pid" 2>/dev/null
  done
  wait
  rm -rf "$XDG_RUNTIME_DIR"
}
trap stop_all EXIT

start_sway() {
  # No key repeat: on a busy machine a key released late would repeat, and
  # a repeated Tab moves the focus past the button it was meant for.
  printf 'xwayland disable\ninput * repeat_rate 0\n' >"$XDG_RUNTIME_DIR/config"
  WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$XDG_RUNTIME_DIR/config" >"$XDG_RUNTIME_DIR/sway.log" 2>&1 &
  sway_pid=$!
  local socket deadline=$((SECONDS + 20))
  until socket=$(compgen -G "$XDG_RUNTIME_DIR/wayland-*[0-9]") &&
    compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock" >/dev/null; do
    if ((SECONDS >= deadline)) || ended "$sway_pid"; then
      cat "$XDG_RUNTIME_DIR/sway.log" >&2
      fail "sway did not start" || return 1
    fi
    sleep 0.05
  done
  export WAYLAND_DISPLAY=${socket##*/}
  SWAYSOCK=$(compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock")
  export SWAYSOCK
}

# The headless seat has a keyboard only while a virtual one exists, and a
# program drops the keys sent before it has taken up a keyboard that just
# appeared: an idle wtype keeps one there throughout.
add_keyboard() {
  wtype -s 600000 &
  keyboard_pid=$!
  local deadline=$((SECONDS + 10))
  until swaymsg -t get_inputs | grep -q '"type": "keyboard"'; do
    ((SECONDS < deadline)) || fail "no virtual keyboard" || return 1
    sleep 0.05
  done
}

# Whether the program's window has the keyboard focus: keys sent before it
# has would go nowhere.
window_focused() {
  swaymsg -t get_tree | /usr/bin/python3 -c '
import json, sys
def focused(node):
    if node.get("focused") and node.get("name") == "Text to MD5":
        return True
    return any(map(focused, node.get("nodes", []) + node.get("floating_nodes", [])))
sys.exit(0 if focused(json.load(sys.stdin)) else 1)'
}

# Starts the program and waits until its window is shown with the focus;
# sets program_pid.
start_program() {
  QT_QPA_PLATFORM=wayland "$program" &
  program_pid=$!
  started_pids+=("$program_pid")
  local deadline=$((SECONDS + 20))
  until window_focused; do
    ((SECONDS < deadline)) || fail "no focused window appeared" || return 1
    sleep 0.05
  done
}

# Types $1, presses keys $2... and checks that the program ended with status
# 0.
type_and_expect_end() {
  local text=$1 key keys=()
  shift
  for key in "$@"; do keys+=(-k "$key"); done
  wtype -d 20 "$text" "${keys[@]}"
  wait_for_end "$program_pid" 10 || fail "program still running" || return 1
  wait "$program_pid" || fail "program exited with status $?"
}

clipboard() { timeout "${clipboard_timeout:-10}" wl-paste --no-newline "$@"; }

# Puts $1 on the clipboard, owned by a wl-copy that we stop later.
set_clipboard() { set_clipboard_with "$1" wl-copy --foreground; }

# The standby that holds the clipboard after the program: the only live
# process of that name left in this session.
standby_pid() {
  local pid
  for pid in $(pgrep -u "$(id -u)" -x "$(basename "$program")"); do
    grep -qzx "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR" "/proc/$pid/environ" \
      2>/dev/null &&
      ! ended "$pid" && echo "$pid"
  done
}

test_copy_and_close_keeps_the_digest_after_exit() {
  start_program || return 1
  type_and_expect_end abc Tab Tab Tab space || return 1
  [ "$(clipboard)" = "$abc_digest" ] || fail "clipboard: $(clipboard)" || return 1
  local types
  types=$(clipboard --list-types | tr '\n' ' ')
  for type in "text/plain;charset=utf-8" UTF8_STRING TEXT STRING text/plain; do
    [[ " $types" == *" $type "* ]] || fail "no $type in: $types" || return 1
  done
  local standby
  standby=$(standby_pid)
  [ -n "$standby" ] || fail "no standby holds the clipboard" || return 1
  started_pids+=("$standby")
  set_clipboard "taken over" || return 1
  wait_for_end "$standby" 10 || fail "standby still running after a new copy"
}

test_close_button_leaves_the_clipboard_alone() {
  set_clipboard "earlier text" || return 1
  start_program || return 1
  type_and_expect_end abc Tab Tab space || return 1
  [ "$(clipboard)" = "earlier text" ] || fail "clipboard: $(clipboard)" || return 1
  local standby
  standby=$(standby_pid)
  [ -n "$standby" ] || return 0
  started_pids+=("$standby")
  wait_for_end "$standby" 5 || fail "a standby was left behind"
}

start_sway && add_keyboard || exit 1
run_tests

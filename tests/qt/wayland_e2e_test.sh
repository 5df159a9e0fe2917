#!/usr/bin/env bash
# The whole program on a headless Wayland compositor: what the clipboard
# holds after "Copy+Close" and "Close" have ended the program.
#   sway: wlroots, with data-control and no clipboard manager; the program's
#     standby takes the selection over.
#   mutter: GNOME's compositor, without data-control; it keeps a copy of the
#     selection itself when the owner ends, if the owner has sent it the text.
#   kwin: KDE's compositor, with data-control and no clipboard manager of its
#     own; it has no virtual keyboard for clients, so the window is worked
#     through AT-SPI instead of keys.
# Compositors refuse to run as root, so as root the script runs itself again
# as an unprivileged user (made if missing) on copies of itself and the
# program that this user can read.
# Usage: wayland_e2e_test.sh sway|mutter|kwin PROGRAM
set -uo pipefail

readonly test_user=text-to-md5-test
compositor=$1

if [ "$(id -u)" -eq 0 ]; then
  id "$test_user" >/dev/null 2>&1 ||
    useradd --system --user-group --no-create-home --home-dir /nonexistent \
      --shell /usr/sbin/nologin "$test_user" || exit 1
  copies=$(mktemp -d)
  trap 'rm -rf "$copies"' EXIT
  here=$(dirname "$0")
  # The copies keep their places relative to each other.
  mkdir "$copies/qt" &&
    cp "$0" "$here/mutter_keys.py" "$here/atspi_input.py" "$copies/qt" &&
    cp "$here/../e2e_lib.sh" "$2" "$copies" &&
    chown -R "$test_user:" "$copies" || exit 1
  setpriv --reuid="$test_user" --regid="$test_user" --init-groups \
    env -i PATH="$PATH" HOME="$copies" ${TTM_TESTS:+TTM_TESTS="$TTM_TESTS"} \
    ${TTM_EXIT_TIMES:+TTM_EXIT_TIMES="$TTM_EXIT_TIMES"} \
    "$copies/qt/$(basename "$0")" "$compositor" "$copies/$(basename "$2")" \
    </dev/null
  exit
fi

program=$2
export LC_ALL=C.UTF-8
here=$(dirname "$0")
readonly abc_digest=900150983CD24FB0D6963F7D28E17F72
source "$here/../e2e_lib.sh"

clipboard() { timeout "${clipboard_timeout:-10}" wl-paste --no-newline "$@"; }

# Starts the program and waits until its window has the keyboard focus:
# keys sent before would go nowhere. The protocol log tells when (it names
# objects interface@id before libwayland 1.23, interface#id since).
start_program() {
  local log="$XDG_RUNTIME_DIR/program.log"
  # A sanitizer's report, from the program or from its standby (whose
  # standard streams lead nowhere), goes to a file, shown at the end.
  ASAN_OPTIONS=log_path=$XDG_RUNTIME_DIR/sanitizer \
    UBSAN_OPTIONS=log_path=$XDG_RUNTIME_DIR/sanitizer \
    WAYLAND_DEBUG=client QT_QPA_PLATFORM=wayland "$program" 2>"$log" &
  program_pid=$!
  started_pids+=("$program_pid")
  local deadline=$((SECONDS + 20))
  until grep -qsE 'wl_keyboard[@#][0-9]+\.enter\(' "$log"; do
    ((SECONDS < deadline)) || fail "the window got no focus" || return 1
    sleep 0.05
  done
}

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
  send_text abc
  press_and_expect_end "Copy+Close" || return 1
  [ "$(clipboard)" = "$abc_digest" ] ||
    fail "clipboard: $(clipboard); standby: $(standby_pid || echo none)" ||
    return 1
  keeps_the_digest_after_exit
}

show_sanitizer_reports() { cat "$XDG_RUNTIME_DIR"/sanitizer.* 2>/dev/null >&2; }

# The standby of a program that copied nothing ends with the program.
no_holder_left() {
  local standby
  standby=$(standby_pid)
  [ -z "$standby" ] || wait_for_end "$standby" 5 || fail "a standby was left behind"
}

# Qt must still hear of the selections of others: a paste of another
# client's text reaches the input box and is digested.
test_a_paste_of_another_clients_text_is_digested() {
  declare -F paste_keys >/dev/null || return 0 # no keys to paste with
  local text="pasted text" digest
  digest=$(printf %s "$text" | md5sum | cut -c1-32 | tr a-f A-F)
  set_clipboard "$text" || return 1
  start_program || return 1
  paste_keys
  press_and_expect_end "Copy+Close" || return 1
  [ "$(clipboard)" = "$digest" ] || fail "clipboard: $(clipboard)"
}

# mutter and KWin run a case as their session's one client program, and end
# with it; what it prints is kept in a file, apart from the compositor's own
# messages. The compositor's settings are this session's own.
in_session() { # COMPOSITOR PROGRAM
  local XDG_RUNTIME_DIR XDG_CONFIG_HOME session kwin status
  XDG_RUNTIME_DIR=$(mktemp -d)
  export XDG_RUNTIME_DIR TTM_IN_SESSION=1 XDG_CONFIG_HOME=$XDG_RUNTIME_DIR/config
  unset DISPLAY WAYLAND_DISPLAY
  if [ "$compositor" = mutter ]; then
    # No key repeat: on a busy machine a key released late would repeat.
    export GSETTINGS_BACKEND=keyfile
    mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings"
    printf '[org/gnome/desktop/peripherals/keyboard]\nrepeat=false\n' \
      >"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile"
    session=(mutter --wayland --headless --virtual-monitor 1280x800 -- "$0" "$@")
  else
    # Debian's kwin_wayland carries a file capability, which a container
    # may refuse to run; a plain copy has none, and keeps the name KWin
    # reads its settings by. KWin parses its session command like a shell.
    kwin=$XDG_RUNTIME_DIR/kwin_wayland
    cp "$(command -v kwin_wayland)" "$kwin" || return 1
    session=("$kwin" --virtual --no-lockscreen
      --exit-with-session "$(printf '%q ' "$0" "$@")")
  fi
  dbus-run-session -- "${session[@]}" >"$XDG_RUNTIME_DIR/compositor.log" 2>&1
  cat "$XDG_RUNTIME_DIR/report" 2>/dev/null ||
    cat "$XDG_RUNTIME_DIR/compositor.log" >&2
  status=$(cat "$XDG_RUNTIME_DIR/status" 2>/dev/null || echo 1)
  rm -rf "$XDG_RUNTIME_DIR"
  return "$status"
}

# Each case has a session of its own: KWin 6 refuses a claim of the
# selection older than the last copy, and the claims made here carry no
# input serial (the clicks come through AT-SPI), so one case's copy would
# fail the next case's.
if [ "$compositor" != sway ] && [ -z "${TTM_IN_SESSION:-}" ]; then
  status=0
  for test in $(selected_tests); do
    TTM_TESTS="^$test\$" in_session "$@" || status=1
  done
  exit "$status"
fi

# sway and KWin offer data-control, on which the clipboard is read and set
# without the keyboard focus, and the program's standby holds the digest.
if [ "$compositor" != mutter ]; then
  # Puts $1 on the clipboard, owned by a wl-copy that we stop later.
  set_clipboard() { set_clipboard_with "$1" wl-copy --foreground; }

  # The standby serves the usual text types, and ends when another client
  # takes the selection.
  keeps_the_digest_after_exit() {
    local types type standby
    types=$(clipboard --list-types | tr '\n' ' ')
    for type in "text/plain;charset=utf-8" UTF8_STRING TEXT STRING text/plain; do
      [[ " $types" == *" $type "* ]] || fail "no $type in: $types" || return 1
    done
    standby=$(standby_pid)
    [ -n "$standby" ] || fail "no standby holds the clipboard" || return 1
    started_pids+=("$standby")
    set_clipboard "taken over" || return 1
    wait_for_end "$standby" 10 || fail "standby still running after a new copy"
  }
fi

if [ "$compositor" = sway ]; then
  # A session bus of its own, on which the accessibility bus starts.
  if [ -z "${TTM_IN_SESSION:-}" ]; then
    TTM_IN_SESSION=1 exec dbus-run-session -- "$0" "$@"
  fi
  unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
  XDG_RUNTIME_DIR=$(mktemp -d)
  export XDG_RUNTIME_DIR

  sway_pid=
  keyboard_pid=
  stop_all() {
    stop_started
    local pid
    for pid in "$keyboard_pid" "$sway_pid"; do
      [ -z "$pid" ] || kill "$pid" 2>/dev/null
    done
    wait
    show_sanitizer_reports
    rm -rf "$XDG_RUNTIME_DIR"
  }
  trap stop_all EXIT

  start_sway() {
    # No key repeat: on a busy machine a key released late would repeat,
    # and a repeated Tab moves the focus past the button it was meant for.
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

  # Each wtype brings a virtual keyboard of its own, whose first key the
  # window may miss, and on a busy machine the next one too (sway 1.12): a
  # harmless one goes first, and a pause before the keys that count.
  send_text() { wtype -d 20 -k Shift_L -s 150 "$1"; }
  send_keys() {
    local key keys=()
    for key in "$@"; do keys+=(-k "$key"); done
    wtype -d 20 -k Shift_L -s 150 "${keys[@]}"
  }
  paste_keys() { wtype -d 20 -k Shift_L -s 150 -M ctrl -k v -m ctrl; }

  # The compositor announces a new output to every client, the standby's too.
  test_an_output_added_while_the_standby_holds_the_digest() {
    start_program || return 1
    send_text abc
    press_and_expect_end "Copy+Close" || return 1
    local standby
    standby=$(standby_pid)
    [ -n "$standby" ] || fail "no standby holds the clipboard" || return 1
    started_pids+=("$standby")
    swaymsg -q create_output || fail "no output added" || return 1
    [ "$(clipboard)" = "$abc_digest" ] ||
      fail "clipboard after a new output: $(clipboard)" || return 1
    ! ended "$standby" || fail "the standby ended"
  }

  # A press through AT-SPI, as a screen reader makes it, comes with no input
  # event: Qt claims the selection with the serial of the last key, which
  # the copy of another client since makes stale. The compositor refuses
  # the claim, so the copy fails and the window stays open; Qt still
  # believes the selection its own, yet "Close" then leaves the other
  # client's text where it is.
  test_a_refused_copy_leaves_the_window_open_and_close_the_clipboard_alone() {
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 start_program || return 1
    send_text abc
    set_clipboard "a later copy" || return 1
    press_through_atspi "Copy+Close" || return 1
    sleep 1 # time enough to end, had the copy been taken for done
    ! ended "$program_pid" || fail "the window closed" || return 1
    [ "$(clipboard)" = "a later copy" ] || fail "clipboard: $(clipboard)" ||
      return 1
    press_through_atspi "Close" && wait_for_end "$program_pid" 10 ||
      fail "Close did not end the program" || return 1
    [ "$(clipboard)" = "a later copy" ] ||
      fail "clipboard after Close: $(clipboard)" || return 1
    no_holder_left
  }
  press_through_atspi() {
    /usr/bin/python3 "$here/atspi_input.py" press "$program_pid" "$1" ||
      fail "no press on $1"
  }

  start_sway && add_keyboard || exit 1
  run_tests
else
  exec >"$XDG_RUNTIME_DIR/report" 2>&1
  trap 'status=$?; stop_started; show_sanitizer_reports
    echo "$status" >"$XDG_RUNTIME_DIR/status"' EXIT

  # Input comes from one helper process, which prints "ready", then answers
  # each command with "sent". mutter's remote keyboard lasts as long as the
  # helper's D-Bus connection.
  case $compositor in
    mutter) input_helper=mutter_keys.py ;;
    kwin) input_helper=atspi_input.py ;;
  esac
  coproc INPUT { /usr/bin/python3 "$here/$input_helper"; }
  read -r -t 20 ready <&"${INPUT[0]}" && [ "$ready" = ready ] ||
    fail "$input_helper did not start" || exit 1
  input_say() {
    echo "$*" >&"${INPUT[1]}"
    local answer
    read -r -t 30 answer <&"${INPUT[0]}" || answer="no answer"
    [ "$answer" = sent ] || fail "$input_helper: $answer"
  }

  if [ "$compositor" = mutter ]; then
    # Puts $1 on the clipboard, owned by an X11 client that we stop later
    # (wl-copy needs the keyboard focus here, which it would take from the
    # window).
    set_clipboard() { set_clipboard_with "$1" xclip -i -selection clipboard -quiet; }
    send_text() { input_say text "$1"; }
    send_keys() { input_say keys "$@"; }
    paste_keys() { send_keys Control_L+v; }

    # mutter keeps its own copy, which X11 programs read through Xwayland;
    # no standby is left behind.
    keeps_the_digest_after_exit() {
      local x11_text
      x11_text=$(timeout 10 xclip -o -selection clipboard)
      [ "$x11_text" = "$abc_digest" ] || fail "X11 clipboard: $x11_text" || return 1
      local standby
      standby=$(standby_pid)
      [ -z "$standby" ] || wait_for_end "$standby" 5 || fail "a standby was left behind"
    }
  else
    # KWin lets no client here press keys, so the window is worked through
    # AT-SPI, whose clicks come with no input event: Qt claims the selection
    # with serial 0, which KWin takes from the focused window unless
    # something was copied since (KWin 6).
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 # no desktop here to turn it on
    send_text() { input_say text "$program_pid" "$1"; }
    focus_button() { input_say focus "$program_pid" "$1"; }
    press_focused_button() { input_say press "$program_pid"; }
  fi

  run_tests
fi

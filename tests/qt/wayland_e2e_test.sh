#!/usr/bin/env bash
# The whole program on Wayland compositors, headless or nested: what the
# clipboard holds after "Copy+Close" and "Close" have ended the window.
#   sway, labwc, wayfire: wlroots, with data-control and no clipboard
#     manager; the program's standby takes the selection over. Keys from
#     wtype.
#   mutter: GNOME's compositor, without data-control; it reads the selection
#     as soon as it is set and keeps that copy when the owner ends.
#   weston: the same (libweston's clipboard); its headless backend has no
#     seat, so it runs nested on a private Xvfb, whose keys it takes.
#   kwin: KDE's compositor, with data-control and no clipboard manager of its
#     own; it has no virtual keyboard for clients, so the window is worked
#     through AT-SPI instead of keys.
# Where the compositor opens sockets for sandboxed clients (the security
# context), the program runs there too, without data-control: it keeps
# serving its copy itself, windowless, until another client copies.
# Each case runs in a compositor session of its own. Compositors refuse to
# run as root, so as root the script runs itself again as an unprivileged
# user (made if missing) on copies of itself and the programs that this user
# can read.
# Usage: wayland_e2e_test.sh sway|labwc|wayfire|mutter|weston|kwin PROGRAM
#          [SANDBOX]
#   SANDBOX: the program that opens a sandbox's socket (sandbox_socket), or
#   "none" where the system has no security-context protocol.
set -uo pipefail

readonly test_user=text-to-md5-test
compositor=$1
sandbox_socket=${3:-none}

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
  if [ "$sandbox_socket" != none ]; then
    cp "$sandbox_socket" "$copies/qt" || exit 1
    sandbox_socket=$copies/qt/$(basename "$sandbox_socket")
  fi
  setpriv --reuid="$test_user" --regid="$test_user" --init-groups \
    env -i PATH="$PATH" HOME="$copies" ${TTM_TESTS:+TTM_TESTS="$TTM_TESTS"} \
    ${TTM_EXIT_TIMES:+TTM_EXIT_TIMES="$TTM_EXIT_TIMES"} \
    ${TTM_MEMORY:+TTM_MEMORY="$TTM_MEMORY"} \
    "$copies/qt/$(basename "$0")" "$compositor" "$copies/$(basename "$2")" \
    "$sandbox_socket" </dev/null
  exit
fi

program=$2
export LC_ALL=C.UTF-8
here=$(dirname "$0")
readonly abc_digest=900150983CD24FB0D6963F7D28E17F72
source "$here/../e2e_lib.sh"

# What the compositors offer and keep, as the cases below rely on it.
case $compositor in
  sway | labwc | wayfire) kind=wlroots keeper=standby ;;
  mutter) kind=session keeper=compositor ;;
  kwin) kind=session keeper=standby ;;
  weston) kind=nested keeper=compositor ;;
  *) echo "unknown compositor: $compositor" >&2; exit 2 ;;
esac

clipboard() { timeout "${clipboard_timeout:-10}" wl-paste --no-newline "$@"; }
# Puts $1 on the clipboard, owned by a wl-copy that we stop later.
set_clipboard() { set_clipboard_with "$1" wl-copy --foreground; }

# Starts the program and waits until its window has the keyboard focus:
# keys sent before would go nowhere. The protocol log tells when (it names
# objects interface@id before libwayland 1.23, interface#id since).
start_program() {
  program_log="$XDG_RUNTIME_DIR/program.log"
  # A sanitizer's report, from the program or from its standby (whose
  # standard streams lead nowhere), goes to a file, shown at the end.
  ASAN_OPTIONS=log_path=$XDG_RUNTIME_DIR/sanitizer \
    UBSAN_OPTIONS=log_path=$XDG_RUNTIME_DIR/sanitizer \
    WAYLAND_DEBUG=client QT_QPA_PLATFORM=wayland "$program" 2>"$program_log" &
  program_pid=$!
  started_pids+=("$program_pid")
  local deadline=$((SECONDS + 20))
  until grep -qsE 'wl_keyboard[@#][0-9]+\.enter\(' "$program_log"; do
    ((SECONDS < deadline)) || fail "the window got no focus" || return 1
    sleep 0.05
  done
}

# The processes of the program's name in this session, other than the
# program itself: its standby.
standby_pid() {
  local pid
  for pid in $(pgrep -u "$(id -u)" -x "$(basename "$program")"); do
    [ "$pid" != "${program_pid:-}" ] &&
      grep -qzx "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR" "/proc/$pid/environ" \
        2>/dev/null &&
      ! ended "$pid" && echo "$pid"
  done
}

# The standby of a program that copied nothing ends with the program.
no_holder_left() {
  local standby
  standby=$(standby_pid)
  [ -z "$standby" ] || wait_for_end "$standby" 5 || fail "a standby was left behind"
}

# Appends process $2's resident set and private anonymous memory, in KiB,
# to $TTM_MEMORY under the name $1, where that is set.
note_memory() { # NAME PID
  [ -n "${TTM_MEMORY:-}" ] || return 0
  awk -v name="$1" '/^VmRSS:/ { rss = $2 } /^RssAnon:/ { anon = $2 }
    END { print name, rss, anon }' "/proc/$2/status" >>"$TTM_MEMORY"
}

# After the program has ended, the digest is kept by whoever keeps it here.
if [ "$keeper" = standby ]; then
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
    note_memory standby "$standby"
    set_clipboard "taken over" || return 1
    wait_for_end "$standby" 10 || fail "standby still running after a new copy"
  }
else
  # The compositor keeps its own copy; no standby is left behind.
  keeps_the_digest_after_exit() { no_holder_left; }
fi

test_copy_and_close_keeps_the_digest_after_exit() {
  start_program || return 1
  send_text abc
  press_and_expect_end "Copy+Close" || return 1
  [ "$(clipboard)" = "$abc_digest" ] ||
    fail "clipboard: $(clipboard); standby: $(standby_pid || echo none)" ||
    return 1
  keeps_the_digest_after_exit
}

# Qt must still hear of the selections of others: a paste of another
# client's text reaches the input box and is digested.
test_a_paste_of_another_clients_text_is_digested() {
  declare -F paste_keys >/dev/null || skip "no keys to paste with" || return
  local text="pasted text" digest
  digest=$(printf %s "$text" | md5sum | cut -c1-32 | tr a-f A-F)
  set_clipboard "$text" || return 1
  start_program || return 1
  paste_keys
  press_and_expect_end "Copy+Close" || return 1
  [ "$(clipboard)" = "$digest" ] || fail "clipboard: $(clipboard)"
}

# Opens a socket whose clients the compositor treats as sandboxed, at
# $sandbox; skips the case where the compositor opens none.
open_sandbox() {
  [ "$sandbox_socket" != none ] ||
    skip "no security-context protocol on this system" || return
  sandbox=$XDG_RUNTIME_DIR/sandbox
  # Its first line says whether the socket is open (a pipe of its own: bash
  # keeps one coprocess at a time, and mutter's and KWin's cases have one).
  local said=$XDG_RUNTIME_DIR/sandbox.said ready
  mkfifo "$said"
  "$sandbox_socket" "$sandbox" >"$said" &
  started_pids+=($!)
  read -r -t 10 ready <"$said"
  case $ready in
    ready) return 0 ;;
    unsupported) skip "$compositor opens no sandbox sockets" ;;
    *) fail "no sandbox socket: $ready" ;;
  esac
}

# A sandboxed program presses "Copy+Close": the window goes, and the digest
# stays. Where the compositor hides data-control from sandboxed clients
# (sway, labwc), the program itself keeps serving it, windowless; where it
# does not (KWin), the standby takes it over. Names the holder in $holder.
sandboxed_copy_and_close() {
  open_sandbox || return
  WAYLAND_DISPLAY=$sandbox start_program || return 1
  send_text abc
  focus_button "Copy+Close" || return 1
  local start
  start=$(date +%s%N)
  press_focused_button || fail "could not press Copy+Close" || return 1
  local deadline=$((SECONDS + 10))
  until grep -qE 'xdg_toplevel[@#][0-9]+\.destroy\(' "$program_log"; do
    ((SECONDS < deadline)) || fail "the window stayed" || return 1
    sleep 0.01
  done
  [ -z "${TTM_EXIT_TIMES:-}" ] ||
    echo $((($(date +%s%N) - start) / 1000000)) >>"$TTM_EXIT_TIMES"
  [ "$(clipboard)" = "$abc_digest" ] || fail "clipboard: $(clipboard)" ||
    return 1
  if ended "$program_pid"; then
    holder=$(standby_pid)
    [ -n "$holder" ] || fail "nobody holds the digest" || return 1
    started_pids+=("$holder")
    echo "  held by the standby"
  else
    no_holder_left || return 1
    holder=$program_pid
    echo "  held by the program itself"
    note_memory "last resort" "$holder"
  fi
}

test_a_sandboxed_copy_outlives_the_window_until_another_copy() {
  sandboxed_copy_and_close || return
  set_clipboard "taken over" || return 1
  wait_for_end "$holder" 10 || fail "still holding after a new copy"
}

test_a_sandboxed_copy_ends_with_the_compositor() {
  [ "$kind" != session ] || skip "$compositor runs this case itself" || return
  sandboxed_copy_and_close || return
  stop_compositor
  wait_for_end "$holder" 10 || fail "still running without a compositor"
}

# A press through AT-SPI, as a screen reader makes it, comes with no input
# event: Qt claims the selection with the serial of the last key, which
# the copy of another client since makes stale. sway refuses the claim, so
# the copy fails and the window stays open; Qt still believes the selection
# its own, yet "Close" then leaves the other client's text where it is.
test_a_refused_copy_leaves_the_window_open_and_close_the_clipboard_alone() {
  [ "$compositor" = sway ] || skip "a case of sway's refusal" || return
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

# The compositor announces a new output to every client, the standby's too.
test_an_output_added_while_the_standby_holds_the_digest() {
  [ "$compositor" = sway ] || skip "outputs are added through swaymsg" || return
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

show_sanitizer_reports() { cat "$XDG_RUNTIME_DIR"/sanitizer.* 2>/dev/null >&2; }

# --- One session per case -----------------------------------------------------

# Runs the case TTM_TESTS names in a session of its own: a session bus (on
# which the accessibility bus starts), a runtime folder and settings of its
# own. mutter and KWin run the case as their session's one client program,
# and end with it; what it prints is kept in a file, apart from the
# compositor's own messages.
in_session() {
  local XDG_RUNTIME_DIR XDG_CONFIG_HOME session kwin status
  XDG_RUNTIME_DIR=$(mktemp -d)
  export XDG_RUNTIME_DIR TTM_IN_SESSION=1 XDG_CONFIG_HOME=$XDG_RUNTIME_DIR/config
  unset DISPLAY WAYLAND_DISPLAY
  case $compositor in
    mutter)
      # No key repeat: on a busy machine a key released late would repeat.
      export GSETTINGS_BACKEND=keyfile
      mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings"
      printf '[org/gnome/desktop/peripherals/keyboard]\nrepeat=false\n' \
        >"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile"
      session=(mutter --wayland --headless --virtual-monitor 1280x800 -- "$0" "$@") ;;
    kwin)
      # Debian's kwin_wayland carries a file capability, which a container
      # may refuse to run; a plain copy has none, and keeps the name KWin
      # reads its settings by. KWin parses its session command like a shell.
      kwin=$XDG_RUNTIME_DIR/kwin_wayland
      cp "$(command -v kwin_wayland)" "$kwin" || return 1
      session=("$kwin" --virtual --no-lockscreen
        --exit-with-session "$(printf '%q ' "$0" "$@")") ;;
    *) session=("$0" "$@") ;;
  esac
  dbus-run-session -- "${session[@]}" >"$XDG_RUNTIME_DIR/compositor.log" 2>&1
  cat "$XDG_RUNTIME_DIR/report" 2>/dev/null ||
    cat "$XDG_RUNTIME_DIR/compositor.log" >&2
  status=$(cat "$XDG_RUNTIME_DIR/status" 2>/dev/null || echo 1)
  rm -rf "$XDG_RUNTIME_DIR"
  return "$status"
}

if [ -z "${TTM_IN_SESSION:-}" ]; then
  for test in $(selected_tests); do
    TTM_TESTS="^$test\$" in_session "$@"
    count_outcome $?
  done
  report_tally
  exit
fi

# --- Within a session: the compositor and its keys ----------------------------

exec >"$XDG_RUNTIME_DIR/report" 2>&1
trap 'status=$?; stop_started; stop_compositor; show_sanitizer_reports
  echo "$status" >"$XDG_RUNTIME_DIR/status"' EXIT

# Stops the compositor and what runs beside it, last started first; one
# that does not end when asked is killed.
compositor_pids=()
stop_compositor() {
  local i pid
  for ((i = ${#compositor_pids[@]} - 1; i >= 0; i--)); do
    pid=${compositor_pids[i]}
    kill "$pid" 2>/dev/null
    wait_for_end "$pid" 5 || kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  compositor_pids=()
}

# Waits for the compositor started last to open its socket, and names it in
# WAYLAND_DISPLAY.
await_socket() {
  local socket deadline=$((SECONDS + 20))
  until socket=$(compgen -G "$XDG_RUNTIME_DIR/wayland-*[0-9]"); do
    if ((SECONDS >= deadline)) || ended "${compositor_pids[-1]}"; then
      cat "$XDG_RUNTIME_DIR/compositor-own.log" >&2
      fail "$compositor did not start" || return 1
    fi
    sleep 0.05
  done
  export WAYLAND_DISPLAY=${socket##*/}
}

# Starts the compositor COMMAND..., its own messages in a file, and waits
# for its socket.
launch_compositor() {
  "$@" >"$XDG_RUNTIME_DIR/compositor-own.log" 2>&1 &
  compositor_pids+=($!)
  await_socket
}

# wlroots compositors: headless, without key repeat (on a busy machine a key
# released late would repeat, and a repeated Tab moves the focus past the
# button it was meant for).
start_sway() {
  printf 'xwayland disable\ninput * repeat_rate 0\n' >"$XDG_RUNTIME_DIR/sway.conf"
  launch_compositor sway -c "$XDG_RUNTIME_DIR/sway.conf" || return 1
  local deadline=$((SECONDS + 20))
  until SWAYSOCK=$(compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock"); do
    ((SECONDS < deadline)) || fail "sway opened no IPC socket" || return 1
    sleep 0.05
  done
  export SWAYSOCK
}
start_labwc() {
  mkdir -p "$XDG_CONFIG_HOME/labwc"
  printf '<labwc_config><keyboard><repeatRate>0</repeatRate></keyboard></labwc_config>\n' \
    >"$XDG_CONFIG_HOME/labwc/rc.xml"
  launch_compositor env WLR_HEADLESS_OUTPUTS=1 labwc -C "$XDG_CONFIG_HOME/labwc"
}
start_wayfire() {
  printf '[core]\nxwayland=false\n[input]\nkb_repeat_rate=0\n' \
    >"$XDG_RUNTIME_DIR/wayfire.ini"
  launch_compositor env WLR_HEADLESS_OUTPUTS=1 \
    wayfire -c "$XDG_RUNTIME_DIR/wayfire.ini"
}

# Weston's headless backend has no seat; nested in a private X server it has
# the keyboard and pointer of that server.
start_weston() {
  local display_fifo=$XDG_RUNTIME_DIR/displayfd display_number
  mkfifo "$display_fifo"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$display_fifo" \
    >/dev/null 2>&1 &
  compositor_pids+=($!)
  read -r -t 20 display_number <"$display_fifo" ||
    fail "Xvfb did not start" || return 1
  export DISPLAY=:$display_number
  launch_compositor weston --backend=x11-backend.so --use-pixman \
    --width=1024 --height=700 --socket=wayland-1
}

case $kind in
  wlroots)
    export WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman
    "start_$compositor" || exit 1
    # The headless seat has a keyboard only while a virtual one exists, and
    # a program drops the keys sent before it has taken up a keyboard that
    # just appeared: an idle wtype keeps one there throughout.
    wtype -s 600000 &
    compositor_pids+=($!)
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
    ;;
  nested)
    "start_$compositor" || exit 1
    # The X server's keys reach the window that has Weston's focus; the
    # first after a pause may be lost, so a harmless one goes first.
    send_text() { xdotool key Shift_L sleep 0.15 type --delay 30 -- "$1"; }
    send_keys() { xdotool key Shift_L sleep 0.15 key --delay 20 "$@"; }
    paste_keys() { send_keys ctrl+v; }
    ;;
  session)
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
      # wl-copy would need the keyboard focus here, which it would take from
      # the window: an X11 client sets the clipboard through Xwayland.
      set_clipboard() { set_clipboard_with "$1" xclip -i -selection clipboard -quiet; }
      # mutter keeps its own copy, which X11 programs read through Xwayland.
      keeps_the_digest_after_exit() {
        local x11_text
        x11_text=$(timeout 10 xclip -o -selection clipboard)
        [ "$x11_text" = "$abc_digest" ] || fail "X11 clipboard: $x11_text" ||
          return 1
        no_holder_left
      }
      send_text() { input_say text "$1"; }
      send_keys() { input_say keys "$@"; }
      paste_keys() { send_keys Control_L+v; }
    else
      # KWin lets no client here press keys, so the window is worked through
      # AT-SPI, whose clicks come with no input event: Qt claims the
      # selection with serial 0, which KWin takes from the focused window
      # unless something was copied since (KWin 6).
      export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 # no desktop here to turn it on
      send_text() { input_say text "$program_pid" "$1"; }
      focus_button() { input_say focus "$program_pid" "$1"; }
      press_focused_button() { input_say press "$program_pid"; }
    fi
    ;;
esac

run_tests

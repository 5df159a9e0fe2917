# Shared by the scripts that drive the running program (sourced, not run):
# the processes a test starts, waiting for one to end, a failure's report,
# finding the window, the keys that press a button, and the loop that runs
# every function named test_*. Keys, text and the clipboard go through X11
# (xdotool, xclip) unless the sourcing script defines send_keys, send_text,
# clipboard and set_clipboard anew; one without keys defines focus_button
# and press_focused_button its own way.

started_pids=()
passed=0
failed=0
skipped=0
# The status of a case that cannot run here.
readonly skip_status=77

stop_started() {
  local pid
  for pid in "${started_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  started_pids=()
}

fail() {
  echo "  FAIL: $*" >&2
  return 1
}

# A case returns what this returns when it cannot run here, saying why.
skip() {
  echo "  SKIP: $*" >&2
  return "$skip_status"
}

# Whether process $1 has ended (a zombie has).
ended() {
  local state
  state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 0
  [ "$state" = Z ]
}

# Polls until process $1 has ended, for at most $2 seconds.
wait_for_end() {
  local deadline=$((SECONDS + $2))
  until ended "$1"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.01
  done
}

# Presses the keys named by their X keysyms ($@), or types text $1.
send_keys() { xdotool key --delay 20 "$@"; }
send_text() { xdotool type --delay 30 -- "$1"; }

# Prints the clipboard's text, giving up after ${clipboard_timeout:-10} s.
clipboard() {
  timeout "${clipboard_timeout:-10}" xclip -o -selection clipboard "$@"
}

# Puts $1 on the clipboard, owned by an xclip that we stop later.
set_clipboard() { set_clipboard_with "$1" xclip -i -selection clipboard -quiet; }

# Waits up to $1 seconds (default 20) for the X11 window "Text to MD5" to
# show, gives it the keyboard focus and prints its id.
focus_window() {
  local window
  window=$(timeout "${1:-20}" xdotool search --sync --onlyvisible \
    --name '^Text to MD5$' | head -n 1)
  [ -n "$window" ] || fail 'no window "Text to MD5" appeared' || return 1
  # Wine's windows may take the focus without telling: the keys then show.
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  echo "$window"
}

# The pid of the process that holds the X11 clipboard after the program.
holder_pid() {
  local window
  window=$(xdotool search --name '^text-to-md5 clipboard$' | head -n 1)
  [ -n "$window" ] && xdotool getwindowpid "$window"
}

# The window's tab order as its user meets it, from the input box, which
# has the focus when the window opens.
readonly tab_order=("Text" "MD5 digest" "Close" "Copy+Close")

# The keys that move the focus from control $2 (default: the input box) to
# control $1, forwards.
tabs_to() {
  local i tabs=() from=${2:-Text} counting=false
  for ((i = 0; i < 2 * ${#tab_order[@]}; i++)); do
    local control=${tab_order[i % ${#tab_order[@]}]}
    if $counting; then
      tabs+=(Tab)
      [ "$control" = "$1" ] && echo "${tabs[*]}" && return
    fi
    [ "$control" = "$from" ] && counting=true
  done
  return 1
}

# Moves the focus to button $1 ("Copy+Close" or "Close") from control $2
# that has it (default: the input box).
focus_button() {
  local tabs
  tabs=$(tabs_to "$@") || fail "no way to $1" || return 1
  # shellcheck disable=SC2086 # one key a word
  send_keys $tabs
}

press_focused_button() { send_keys space; }

# Presses button $1 from control $2 that has the focus (default: the input
# box).
press_button() { focus_button "$@" && press_focused_button; }

# Presses button $1 ("Copy+Close" or "Close") of program_pid's window, from
# control $2 that has the focus (default: the input box), and checks that
# the program then ends with status 0. With TTM_EXIT_TIMES set, appends the
# milliseconds from the press to the end there.
press_and_expect_end() {
  local start
  focus_button "$@" || return 1
  start=$(date +%s%N)
  press_focused_button || fail "could not press $1" || return 1
  wait_for_end "$program_pid" 10 || fail "program still running" || return 1
  [ -z "${TTM_EXIT_TIMES:-}" ] ||
    echo $((($(date +%s%N) - start) / 1000000)) >>"$TTM_EXIT_TIMES"
  wait "$program_pid" || fail "program exited with status $?"
}

# A case of every end-to-end test script that calls run_tests: "Close" ends
# the program and leaves another client's text on the clipboard. The script
# defines start_program and no_holder_left, which fails when the program
# left a process holding the clipboard behind.
test_close_button_leaves_the_clipboard_alone() {
  set_clipboard "earlier text" || return 1
  start_program || return 1
  send_text abc
  press_and_expect_end "Close" || return 1
  [ "$(clipboard)" = "earlier text" ] || fail "clipboard: $(clipboard)" || return 1
  no_holder_left
}

# Runs COMMAND..., which puts what it reads, $1, on the clipboard and keeps
# it there until stopped, and waits until the clipboard holds it. A request
# made while the owner changes may go unanswered: each look gives up soon.
set_clipboard_with() { # TEXT COMMAND...
  local text=$1 clipboard_timeout=3
  shift
  printf %s "$text" | "$@" 2>/dev/null &
  started_pids+=($!)
  local deadline=$((SECONDS + 20))
  until [ "$(clipboard 2>/dev/null)" = "$text" ]; do
    ((SECONDS < deadline)) || fail "could not set the clipboard" || return 1
    sleep 0.05
  done
}

# The test_* functions' names (those matching the pattern in TTM_TESTS,
# where it is set).
selected_tests() {
  declare -F | awk '{print $3}' | grep '^test_' | grep -E -- "${TTM_TESTS:-.}"
}

# Counts a case's outcome by its status $1: passed, skipped or failed.
count_outcome() {
  case $1 in
    0) passed=$((passed + 1)) ;;
    "$skip_status") skipped=$((skipped + 1)) ;;
    *) failed=$((failed + 1)) ;;
  esac
}

# Prints the tally; returns 0 when nothing failed and something ran, the
# skip status when every case was skipped, else 1.
report_tally() {
  echo "$passed passed, $failed failed, $skipped skipped"
  ((failed == 0)) || return 1
  ((passed > 0 || skipped == 0)) || return "$skip_status"
}

# Runs every test_* function (those matching the pattern in TTM_TESTS, where
# it is set), stopping what each started; prints the tally and returns as
# report_tally does.
run_tests() {
  local test
  for test in $(selected_tests); do
    echo "== ${test#test_}"
    "$test"
    count_outcome $?
    stop_started
  done
  report_tally
}

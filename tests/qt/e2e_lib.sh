# Shared by the end-to-end scripts (sourced, not run): the processes a test
# starts, waiting for one to end, a failure's report, and the loop that runs
# every function named test_*. The sourcing script sets XDG_RUNTIME_DIR and
# defines clipboard, which prints the clipboard's text and gives up after
# ${clipboard_timeout:-10} seconds.

started_pids=()
passed=0
failed=0

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
    sleep 0.05
  done
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

# Runs every test_* function, stopping what each started; prints the tally
# and returns whether all passed.
run_tests() {
  local test
  for test in $(declare -F | awk '{print $3}' | grep '^test_'); do
    echo "== ${test#test_}"
    if "$test"; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
    fi
    stop_started
  done
  echo "$passed passed, $failed failed"
  ((failed == 0))
}

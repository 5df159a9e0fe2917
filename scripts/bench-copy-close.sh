#!/usr/bin/env bash
# How long "Copy+Close" takes, with the digest kept on the clipboard: on X11
# (Xvfb, no clipboard manager) and on every Wayland compositor the tests run
# here (those of tests/qt/CMakeLists.txt), headless or nested. Runs the
# end-to-end copy case RUNS times on each (default 5) with the release build,
# and prints every time and the median, in milliseconds from the press (a
# key; on KWin, an AT-SPI click) to the end of the process. Where the
# compositor opens sockets for sandboxed clients, it runs the sandboxed case
# too, and prints the time from the press to the window gone, and who holds
# the digest then.
# It also prints the memory that the holder keeps while it waits: the
# standby's, and the program's own where it holds the digest itself (the
# last resort), resident set and private anonymous memory, medians in KiB.
# Usage: scripts/bench-copy-close.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-5}
program=$PWD/build/release/ui/qt/text-to-md5

scripts/setup-deps.sh test >/dev/null
[ -f build/release/CMakeCache.txt ] || cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
# The dev build knows which compositors run here, and builds what opens a
# sandbox's socket where the system can.
[ -f build/dev/CMakeCache.txt ] || cmake --preset dev >/dev/null
sandbox_socket=none
if cmake --build --preset dev --target sandbox_socket >/dev/null 2>&1; then
  sandbox_socket=$PWD/build/dev/tests/qt/sandbox_socket
fi
mapfile -t compositors < <(ctest --test-dir build/dev -N -R '^wayland_e2e_test_' |
  sed -n 's/.*wayland_e2e_test_\([a-z]*\)$/\1/p')

# The Wayland cases run as an unprivileged user, who must be able to write
# the figures.
figures=$(mktemp -d)
chmod 777 "$figures"
trap 'rm -rf "$figures"' EXIT

run_case() { # DESKTOP CASE
  case $1 in
    X11) TTM_TESTS="^$2\$" tests/with-xvfb.sh tests/qt/e2e_test.sh "$program" \
      /bin/false "$figures/artifacts" ;;
    *) TTM_TESTS="^$2\$" tests/qt/wayland_e2e_test.sh "$1" "$program" \
      "$sandbox_socket" ;;
  esac
}

median() { # prints the median of the numbers on standard input
  sort -n | awk '{ v[NR] = $1 } END {
    if (NR) print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Runs CASE RUNS times on DESKTOP and prints the times under LABEL; a case
# skipped there prints nothing.
measure() { # DESKTOP CASE LABEL
  export TTM_EXIT_TIMES=$figures/times TTM_MEMORY=$figures/memory
  : >"$TTM_EXIT_TIMES"
  chmod 666 "$TTM_EXIT_TIMES"
  local status
  for _ in $(seq "$runs"); do
    status=0
    run_case "$1" "$2" >"$figures/log" 2>&1 || status=$?
    if [ "$status" -eq 77 ]; then return 0; fi
    if [ "$status" -ne 0 ]; then
      cat "$figures/log" >&2
      exit 1
    fi
  done
  printf '%-8s %-38s median %4s ms  (runs: %s)\n' "$1" "$3" \
    "$(median <"$TTM_EXIT_TIMES")" "$(tr '\n' ' ' <"$TTM_EXIT_TIMES")"
}

: >"$figures/memory"
chmod 666 "$figures/memory"
for desktop in X11 "${compositors[@]}"; do
  measure "$desktop" test_copy_and_close_keeps_the_digest_after_exit \
    "press to the end of the program"
  [ "$desktop" = X11 ] ||
    measure "$desktop" test_a_sandboxed_copy_outlives_the_window_until_another_copy \
      "sandboxed: press to the window gone"
done

echo "Memory kept while holding the digest (KiB, medians):"
for holder in standby "last resort"; do
  grep -q "^$holder " "$figures/memory" || continue
  printf '  %-12s resident %6s  private anonymous %6s  (%d samples)\n' \
    "$holder" \
    "$(awk -v h="$holder" '$0 ~ "^" h " " { print $(NF - 1) }' "$figures/memory" | median)" \
    "$(awk -v h="$holder" '$0 ~ "^" h " " { print $NF }' "$figures/memory" | median)" \
    "$(grep -c "^$holder " "$figures/memory")"
done

#!/usr/bin/env bash
# How long the program takes to end after "Copy+Close" is pressed, with the
# digest kept on the clipboard: on X11 (Xvfb, no clipboard manager), on sway,
# GNOME's mutter and KDE's KWin, headless. Runs the end-to-end copy case RUNS
# times on each (default 5) with the release build, and prints every time and
# the median, in milliseconds from the press (a key; on KWin, an AT-SPI
# click) to the end of the process.
# Usage: scripts/bench-copy-close.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-5}
program=$PWD/build/release/ui/qt/text-to-md5

scripts/setup-deps.sh test >/dev/null
[ -f build/release/CMakeCache.txt ] || cmake --preset release >/dev/null
cmake --build --preset release >/dev/null

# The Wayland cases run as an unprivileged user, who must be able to write
# the times.
times_dir=$(mktemp -d)
chmod 777 "$times_dir"
trap 'rm -rf "$times_dir"' EXIT
export TTM_TESTS=^test_copy_and_close_keeps_the_digest_after_exit$

copy_case() { # DESKTOP
  case $1 in
    X11) tests/with-xvfb.sh tests/qt/e2e_test.sh "$program" /bin/false \
      "$times_dir/artifacts" ;;
    *) tests/qt/wayland_e2e_test.sh "$1" "$program" ;;
  esac
}

for desktop in X11 sway mutter kwin; do
  export TTM_EXIT_TIMES=$times_dir/$desktop
  touch "$TTM_EXIT_TIMES" && chmod 666 "$TTM_EXIT_TIMES"
  for _ in $(seq "$runs"); do
    copy_case "$desktop" >"$times_dir/log" 2>&1 || {
      cat "$times_dir/log" >&2
      exit 1
    }
  done
  sort -n "$TTM_EXIT_TIMES" | awk -v desktop="$desktop" '
    { times[NR] = $1; all = all " " $1 }
    END {
      median = NR % 2 ? times[(NR + 1) / 2] : (times[NR / 2] + times[NR / 2 + 1]) / 2
      printf "%-7s median %4d ms  (runs:%s)\n", desktop, median, all
    }'
done

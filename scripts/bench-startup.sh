#!/usr/bin/env bash
# Start-up and size of Text to MD5 against Qt's floor (a bare Qt window with
# the same four widgets) and a peer that hashes typed text (gtkhash -t abc),
# on a private Xvfb: medians of 10 runs each, interleaved, from exec to the
# first window mapped and to that window drawn (our digest is in place
# before the window is shown), and the resident sets then. Also the resident
# set of the clipboard holder left after "Copy+Close", and the time of one
# keystroke at inputs of 1 KiB and 256 KiB. Prints figures; asserts nothing.
# Usage: scripts/bench-startup.sh
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/bench-startup
scripts/setup-deps.sh test >/dev/null
[ -f "$build/CMakeCache.txt" ] ||
  cmake --preset release -B "$build" -DBUILD_TESTING=ON >/dev/null
cmake --build "$build" --target text-to-md5 bare_qt_window startup_probe \
  keystroke_bench >/dev/null

measure() {
  local program=$1 bare=$2 probe=$3 runs=10
  local -a ours floor peer
  for ((i = 0; i < runs; i++)); do
    ours+=("$("$probe" "$program")")
    floor+=("$("$probe" "$bare")")
    peer+=("$("$probe" gtkhash -t abc)")
  done
  # Column $1 of the runs on stdin, median.
  median() {
    awk "{print \$$1}" | sort -n |
      awk '{v[NR] = $1} END {print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'
  }
  local -a our_medians floor_medians peer_medians
  for column in 1 2 3 4; do
    our_medians+=("$(printf '%s\n' "${ours[@]}" | median $column)")
    floor_medians+=("$(printf '%s\n' "${floor[@]}" | median $column)")
    peer_medians+=("$(printf '%s\n' "${peer[@]}" | median $column)")
  done
  echo "Start-up, medians of $runs runs: exec to window mapped / drawn;"
  echo "resident set then (VmRSS), and the part not shared with files (RssAnon):"
  printf '  text-to-md5   %7.1f ms / %7.1f ms   VmRSS %6.0f KiB   RssAnon %6.0f KiB\n' \
    "${our_medians[@]}"
  printf '  bare Qt       %7.1f ms / %7.1f ms   VmRSS %6.0f KiB   RssAnon %6.0f KiB\n' \
    "${floor_medians[@]}"
  printf '  gtkhash -t    %7.1f ms / %7.1f ms   VmRSS %6.0f KiB   RssAnon %6.0f KiB\n' \
    "${peer_medians[@]}"
  awk -v a="${our_medians[0]}" -v b="${floor_medians[0]}" \
    'BEGIN {printf "  against bare Qt: window mapped in %.2fx its time (target: at most 1.15)\n", a / b}'
  awk -v a="${our_medians[1]}" -v b="${peer_medians[1]}" \
    -v c="${our_medians[2]}" -v d="${peer_medians[2]}" \
    'BEGIN {printf "  ratio         start-up %.2f, resident set %.2f (targets: at most 0.5)\n", a / b, c / d}'
}

holder_rss() {
  local program=$1 pid holder
  source tests/e2e_lib.sh
  "$program" &
  pid=$!
  focus_window >/dev/null
  send_text abc
  press_button "Copy+Close"
  wait "$pid"
  holder=$(holder_pid)
  echo "Clipboard holder after Copy+Close: $(grep VmRSS "/proc/$holder/status")"
}

export -f measure holder_rss
runtime_dir=$(mktemp -d)
trap 'rm -rf "$runtime_dir"' EXIT
# shellcheck disable=SC2016 # expanded by the inner shell
XDG_RUNTIME_DIR=$runtime_dir tests/with-xvfb.sh bash -c \
  'xprop -root -spy >/dev/null 2>&1 & keeper=$!
   measure "$1" "$2" "$3"; holder_rss "$1"; kill $keeper' \
  bench "$build/ui/qt/text-to-md5" "$build/bench/bare_qt_window" \
  "$build/bench/startup_probe"

echo "Keystroke (offscreen platform):"
XDG_RUNTIME_DIR=$runtime_dir QT_QPA_PLATFORM=offscreen \
  "$build/bench/keystroke_bench" | sed 's/^/  /'

#!/usr/bin/env bash
# The keystroke and start-up figures of an earlier revision and of the
# working tree, side by side in one run: on Linux keystroke_bench (offscreen,
# in the Latin-1 locale de_DE.ISO-8859-1 of the test locales) and the
# start-up probe of scripts/bench-startup.sh (medians of 10 starts on a
# private Xvfb, in C.UTF-8 and in Japanese), on Windows the figures tool of
# scripts/win-figures.sh under Wine (code page 1252, English), each pointed
# at both programs in turn, three rounds alternating. Both sides are measured by the
# working tree's tools; only the program differs. Figures, not pass/fail.
# Usage: scripts/bench-compare.sh [REVISION]   (default: merge-base with main)
set -euo pipefail
cd "$(dirname "$0")/.."

revision=${1:-$(git merge-base HEAD main)}
old_src=build/compare/src
scripts/setup-deps.sh test >/dev/null

# The earlier revision's sources, with today's keystroke bench.
rm -rf "$old_src"
mkdir -p "$old_src"
git archive "$revision" | tar -x -C "$old_src"
cp bench/keystroke_bench.cpp "$old_src/bench/"

build_linux() { # SOURCE BUILD
  cmake -S "$1" --preset release -B "$2" -DBUILD_TESTING=ON >/dev/null
  cmake --build "$2" --target keystroke_bench text-to-md5 startup_probe \
    >/dev/null
}
build_linux "$old_src" build/compare/old-linux
build_linux . build/compare/new-linux
cmake -S "$old_src" --preset mingw -B build/compare/old-mingw >/dev/null
cmake --build build/compare/old-mingw --target text-to-md5 >/dev/null
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target text-to-md5 win32_figures >/dev/null
scripts/make-test-locales.sh build/compare/test-locales

echo "Linux keystroke (keystroke_bench, de_DE.ISO-8859-1): $revision vs working tree"
for round in 1 2 3; do
  for side in old new; do
    LOCPATH=build/compare/test-locales LC_ALL=de_DE.ISO-8859-1 \
      QT_QPA_PLATFORM=offscreen "build/compare/$side-linux/bench/keystroke_bench" |
      grep ' 262144 ' | sed "s/^/  round $round $side: /"
  done
done

# Medians of 10 starts of PROGRAM: exec to window mapped / drawn, in ms.
startup_medians() {
  local runs
  runs=$(for ((i = 0; i < 10; i++)); do
    build/compare/new-linux/bench/startup_probe "$1"
  done)
  median() {
    awk "{print \$$1}" <<<"$runs" | sort -n |
      awk '{v[NR] = $1} END {print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'
  }
  echo "mapped $(median 1) ms, drawn $(median 2) ms"
}
export -f startup_medians
echo "Linux start-up (startup_probe, Xvfb): $revision vs working tree"
for round in 1 2 3; do
  for side in old new; do
    for locale in C.UTF-8 ja_JP.UTF-8; do
      LOCPATH=build/compare/test-locales LC_ALL=$locale \
        TEXTDOMAINDIR=build/compare/$side-linux/share/locale \
        tests/with-xvfb.sh bash -c \
        "startup_medians build/compare/$side-linux/ui/qt/text-to-md5" |
        sed "s/^/  round $round $side $locale: /"
    done
  done
done

echo "Windows keystroke and start-up (win32_figures under Wine, code page 1252): $revision vs working tree"
for round in 1 2 3; do
  for side in old new; do
    exe=build/mingw/ui/win32/text-to-md5.exe
    [ "$side" = old ] && exe=build/compare/old-mingw/ui/win32/text-to-md5.exe
    TTM_APP_EXE=$(realpath "$exe") LC_ALL=C.UTF-8 tests/with-xvfb.sh \
      scripts/wine-run.sh build/mingw/wine build/mingw/bench/win32_figures.exe |
      grep -E '256 Ki characters|^start-up' | sed "s/^/  round $round $side: /"
  done
done

#!/usr/bin/env bash
# Prints figures of the Windows program: its file size and imported DLLs,
# the start-up time to the window shown under Wine (median of 10), and the
# cost of one keystroke with 256 KiB of input. Figures, not pass/fail.
# Usage: scripts/win-figures.sh   (builds the mingw preset in build/mingw)
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/mingw
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target text-to-md5 win32_figures >/dev/null

exe=$build/ui/win32/text-to-md5.exe
size=$(stat -c %s "$exe")
echo "text-to-md5.exe: $size bytes ($((size / 1024)) KiB; budget 320 KiB)"
echo "imported DLLs: $(x86_64-w64-mingw32-objdump -p "$exe" |
  sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')"

# One Wine session on a private X server; the program's window needs one.
LC_ALL=C.UTF-8 tests/with-xvfb.sh scripts/wine-run.sh "$build/wine" \
  "$build/bench/win32_figures.exe"

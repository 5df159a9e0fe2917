#!/bin/sh
# Runs a Windows program under Wine, in a private prefix inside the build
# folder that is created on first use; the build's CTest calls it as the
# cross-compiling emulator. (POSIX sh: bash would warn about every LC_ALL
# that names a locale this machine lacks, and Wine needs none of them.)
# Usage: scripts/wine-run.sh PREFIXES_DIR PROGRAM [ARG...]
#
# The logical DPI is TTM_WINE_DPI (default 96); each DPI has its own prefixes.
# Without DISPLAY the prefix is shared: console programs may run in parallel.
# With DISPLAY (GUI programs, each with its own X server) the prefix is held
# for the whole run and its Wine session ends with the program, so that no
# Wine process outlives the X server it talks to.
set -eu

if [ $# -lt 2 ]; then
  echo "usage: $0 PREFIXES_DIR PROGRAM [ARG...]" >&2
  exit 2
fi
prefixes_dir=$(realpath -m -- "$1")
shift

dpi=${TTM_WINE_DPI:-96}
kind=console
[ -n "${DISPLAY:-}" ] && kind=x11
WINEPREFIX="$prefixes_dir/$kind-dpi$dpi"
WINEDEBUG=-all
# No Mono or Gecko installer prompts; nothing here needs them.
WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES

mkdir -p "$prefixes_dir"
exec 9>"$WINEPREFIX.lock"
flock 9

# The first start creates the prefix (about 10 s), sets its DPI, lets Wine
# draw the window frames itself, as no window manager runs on the test X
# servers, and installs Wine's own fonts (Tahoma for dialogs, Marlett for the
# caption buttons), which this Wine does not find by itself. A prefix without
# the marker is a half-made one from an interrupted start.
if [ ! -e "$WINEPREFIX/.ttm-ready" ]; then
  rm -rf "$WINEPREFIX"
  DISPLAY= wineboot --init >/dev/null 2>&1
  for font in /usr/share/wine/fonts/*.ttf; do
    [ -e "$font" ] && cp "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
  done
  DISPLAY= wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
    /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  DISPLAY= wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated \
    /t REG_SZ /d N /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.ttm-ready"
fi

if [ "$kind" = console ]; then
  # A session that outlives each program by a few seconds spares the next
  # test its start-up (about 2 s). Its background programs are started here,
  # away from this run's output, which CTest waits on until it is closed.
  if wineserver -p10 </dev/null >/dev/null 2>&1 9>&-; then
    wine cmd.exe /c exit </dev/null >/dev/null 2>&1 9>&-
  fi
  flock -u 9
  exec wine "$@" 9>&-
fi

# A session of our own: a server that quits as soon as its last program has
# ended, waited for before the prefix is released.
wineserver -p0
status=0
wine "$@" || status=$?
if ! timeout 30 wineserver -w; then
  echo "wine-run: Wine processes left after $1; ending the session" >&2
  wineserver -k || true
fi
exit "$status"

#!/bin/sh
# Runs a Windows program under Wine, in a private prefix inside the build
# folder that is created on first use; the build's CTest calls it as the
# cross-compiling emulator. (POSIX sh: bash would warn about every LC_ALL
# that names a locale this machine lacks, and Wine needs none of them.)
# Usage: scripts/wine-run.sh PREFIXES_DIR PROGRAM [ARG...]
#
# Wine's own error lines are kept aside while the program runs: when it fails
# they are shown with its exit status, when it succeeds they are dropped. The
# set-up steps before it are quiet unless they fail, and then say so.
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
# Where Wine's output is captured; only its error lines, as nothing else is
# of use when a step fails.
capturing_debug=-all,err+all

# Debian's 64-bit Wine starts without a preloader, so nothing holds the
# addresses that Wine maps at fixed places (the shared user data at
# 0x7ffe0000) while Linux puts the loader's heap anywhere in the 1 GiB above
# it. About one start in ten thousand found its heap there and ended at once
# with status 1 and "failed to map the shared user data", a line that
# WINEDEBUG=-all hides: a silent failure once in every few test runs, as
# each test run starts hundreds of Wine processes. Without address space
# randomisation the heap starts just past the loader, well below them.
wine() { setarch -R wine "$@"; }
wineboot() { setarch -R wineboot "$@"; }
# Wine's server is on the PATH up to Debian 13; Debian unstable keeps it only
# in Wine's library folder, where Wine itself looks for it.
wine_server=$(command -v wineserver ||
  ls /usr/lib/*/wine/wineserver /usr/lib/wine/wineserver 2>/dev/null | head -n 1)
wineserver() { "$wine_server" "$@"; }

# Runs a set-up step with its output kept aside, and shows that output and
# the step's exit status only when it fails.
quietly() {
  log=$(mktemp "$prefixes_dir/wine-run.XXXXXX")
  status=0
  WINEDEBUG=$capturing_debug "$@" </dev/null >"$log" 2>&1 9>&- || status=$?
  if [ "$status" -ne 0 ]; then
    cat "$log" >&2
    echo "wine-run: '$*' failed with exit status $status" >&2
  fi
  rm -f "$log"
  return "$status"
}

# Runs the program with Wine's error lines captured, and returns its exit
# status. The program's own output passes through; Wine's error lines, on the
# same stderr, are told apart by their "thread:err:channel:" opening.
run_program() {
  errors=$(mktemp "$prefixes_dir/wine-run.XXXXXX")
  status=0
  WINEDEBUG=$capturing_debug wine "$@" 2>"$errors" 9>&- || status=$?
  if [ "$status" -eq 0 ]; then
    grep -Ev '^[0-9a-f]{4,}:err:' "$errors" >&2 || true
  else
    cat "$errors" >&2
    echo "wine-run: $1 ended with exit status $status" >&2
  fi
  rm -f "$errors"
  return "$status"
}

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
  DISPLAY= quietly wineboot --init
  for font in /usr/share/wine/fonts/*.ttf; do
    [ -e "$font" ] && cp "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
  done
  DISPLAY= quietly wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
    /t REG_DWORD /d "$dpi" /f
  DISPLAY= quietly wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated \
    /t REG_SZ /d N /f
  wineserver -w
  touch "$WINEPREFIX/.ttm-ready"
fi

if [ "$kind" = console ]; then
  # A session that outlives each program by a few seconds spares the next
  # test its start-up (about 2 s). Its background programs are started here,
  # away from this run's output, which CTest waits on until it is closed.
  if wineserver -p10 </dev/null >/dev/null 2>&1 9>&-; then
    quietly wine cmd.exe /c exit
  fi
  flock -u 9
  run_program "$@"
  exit
fi

# A session of our own: a server that quits as soon as its last program has
# ended, waited for before the prefix is released.
wineserver -p0
status=0
run_program "$@" || status=$?
if ! timeout 30 wineserver -w; then
  echo "wine-run: Wine processes left after $1; ending the session" >&2
  wineserver -k || true
fi
exit "$status"

#!/usr/bin/env bash
# Sets up, builds and starts Text to MD5 on a Linux desktop.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh run
cmake --preset release >/dev/null
cmake --build --preset release

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset)." >&2
  echo "Run this on a desktop, or see the program work headless: scripts/demo.sh" >&2
  exit 1
fi
# The build tree's catalogues, where the installed program has share/locale.
TEXTDOMAINDIR=build/release/share/locale exec build/release/ui/qt/text-to-md5

#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Idempotent and non-interactive: only missing packages are installed.
# Usage: scripts/setup-deps.sh [run|test]   (default: test, which is a superset)
set -euo pipefail

purpose=${1:-test}

run_pkgs=(cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins libgl-dev libxcb1-dev)
# Wayland: Qt's platform plugin, and what builds the clipboard standby's side.
run_pkgs+=(qt6-wayland libwayland-dev libwayland-bin)
test_pkgs=(
  "${run_pkgs[@]}"
  libgtest-dev libgmock-dev googletest libbenchmark-dev libssl-dev
  clang libclang-rt-14-dev locales
  xvfb xdotool xclip x11-utils imagemagick dbus at-spi2-core python3-pyatspi
  sway wtype wl-clipboard procps
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 fonts-wine
  desktop-file-utils appstream dpkg-dev file gtkhash python3
)

case "$purpose" in
  run) wanted=("${run_pkgs[@]}") ;;
  test) wanted=("${test_pkgs[@]}") ;;
  *) echo "usage: $0 [run|test]" >&2; exit 2 ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
fi

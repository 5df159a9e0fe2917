#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, on
# Debian 12, 13 or unstable, as root or through sudo. Idempotent and
# non-interactive: only missing packages are installed, and nothing is read
# from stdin.
# Usage: scripts/setup-deps.sh [run|test|proof]
#   run: build and start the program; test (default): every test, a superset;
#   proof: what scripts/test-in-debian.sh needs on the host.
set -euo pipefail

purpose=${1:-test}

run_pkgs=(cmake ninja-build g++ pkgconf qt6-base-dev qt6-qpa-plugins libgl-dev
  libxcb1-dev)
# Wayland: Qt's platform plugin, what builds the clipboard standby's side
# (with the protocols' own descriptions, where the release has them), and
# Qt's private headers, through which Qt 6.4 tells its Wayland connection.
run_pkgs+=(qt6-wayland libwayland-dev libwayland-bin wayland-protocols
  qt6-base-private-dev)
# Translations: gettext compiles and merges ours, Qt's own come translated.
run_pkgs+=(gettext qt6-translations-l10n)
# The Unicode Character Database, from which the build makes the tables of
# the characters that the explanation names.
run_pkgs+=(unicode-data python3)
test_pkgs=(
  "${run_pkgs[@]}"
  libgtest-dev libgmock-dev googletest libbenchmark-dev libssl-dev
  clang locales
  xvfb xdotool xclip x11-utils imagemagick dbus at-spi2-core python3-pyatspi
  sway wtype wl-clipboard procps
  mutter xwayland python3-gi gir1.2-glib-2.0
  kwin-wayland
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 fonts-wine
  desktop-file-utils appstream dpkg-dev file gtkhash python3
  lintian man-db
  # Fonts for the screenshots' Japanese, Chinese and Korean (Arabic: DejaVu).
  fonts-noto-cjk
)
# Compositors that not every release has (labwc from Debian 13 on): the
# tests run on those the release has (and wayfire where it runs without a
# GPU: tests/qt/CMakeLists.txt tells).
test_pkgs_where_released=(labwc wayfire)
test_pkgs+=(weston)
proof_pkgs=(debootstrap git)

case "$purpose" in
  run) wanted=("${run_pkgs[@]}") ;;
  test) wanted=("${test_pkgs[@]}") ;;
  proof) wanted=("${proof_pkgs[@]}") ;;
  *) echo "usage: $0 [run|test|proof]" >&2; exit 2 ;;
esac

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
# apt waits for another dpkg to finish instead of failing; debconf asks
# nothing. Passed through env, as sudo drops the caller's environment.
apt_get=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -qq
  -o DPkg::Lock::Timeout=900)
lists_updated=false

is_installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

install_missing() { # PACKAGE...
  local missing=() pkg
  for pkg in "$@"; do
    is_installed "$pkg" || missing+=("$pkg")
  done
  ((${#missing[@]})) || return 0
  echo "Installing: ${missing[*]}"
  if ! $lists_updated; then
    "${apt_get[@]}" update </dev/null
    lists_updated=true
  fi
  "${apt_get[@]}" install --no-install-recommends "${missing[@]}" </dev/null
}

install_missing "${wanted[@]}"

# The packages of test_pkgs_where_released that this release has.
if [ "$purpose" = test ]; then
  released=()
  for pkg in "${test_pkgs_where_released[@]}"; do
    is_installed "$pkg" || [ -z "$(apt-cache policy "$pkg" 2>/dev/null |
      sed -n 's/^ *Candidate: //p' | grep -v '(none)')" ] || released+=("$pkg")
  done
  install_missing "${released[@]}"
fi

# The X11 sockets' folder, as a booted system makes it: X servers (Xvfb, and
# Xwayland under mutter, which insists on it) create their sockets there.
# A fresh root or container has none, and an X server started by a user
# would make it that user's.
if [ "$purpose" = test ] && [ ! -d /tmp/.X11-unix ]; then
  "${as_root[@]}" install -d -m 1777 -o root -g root /tmp/.X11-unix
fi

# The fuzzer's runtime belongs to one clang version (libclang-rt-14-dev on
# Debian 12, libclang-rt-19-dev on Debian 13): the one clang here is.
if [ "$purpose" = test ]; then
  clang_major=$(clang -dumpversion | cut -d. -f1)
  install_missing "libclang-rt-$clang_major-dev"
fi

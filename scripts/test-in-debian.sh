#!/usr/bin/env bash
# Proves that the README's commands pass on a fresh Debian: builds a minimal
# root of RELEASE with debootstrap, clones this repository's committed HEAD
# into it as an ordinary user who may use sudo, and runs scripts/run.sh
# (which, with no display there, installs, builds and says so) and
# scripts/test.sh there; they install everything else themselves.
#
# Everything lives in build/debian-RELEASE: the root (made anew on every
# run, kept afterwards for a look inside) and the downloaded packages (kept,
# so that a second run downloads nothing; a clean clone starts without).
# Needs root, for debootstrap, mounts and chroot. The mounts are made in a
# mount namespace of this script's own, and taken down on every way out.
# Usage: scripts/test-in-debian.sh RELEASE   (e.g. bookworm, trixie, sid)
# The mirror is this machine's Debian mirror, or TTM_DEBIAN_MIRROR.
set -euo pipefail

release=${1:?usage: $0 RELEASE (e.g. trixie)}
cd "$(dirname "$0")/.."
repo=$PWD
# The start, carried over the re-executions below.
export TTM_PROOF_STARTED=${TTM_PROOF_STARTED:-$(date +%s)}

if [ "$(id -u)" -ne 0 ]; then
  exec sudo -- "$0" "$@"
fi
if [ -z "${TTM_MOUNT_NAMESPACE:-}" ]; then
  scripts/setup-deps.sh proof
  # Mounts made here are seen by no one else, and none can propagate to the
  # host's own (a tmpfs on the root's /dev/shm would otherwise land on the
  # host's /dev/shm when /dev is a shared mount).
  TTM_MOUNT_NAMESPACE=1 exec unshare --mount --propagation private -- "$0" "$@"
fi

folder=$repo/build/debian-$release
root=$folder/root
# Mount points are compared as written in /proc/self/mountinfo, which
# escapes blanks.
case $root in *[[:space:]]*)
  echo "test-in-debian: the work tree's path must have no blanks" >&2
  exit 2 ;;
esac
user=tester

# The first Debian mirror apt uses here (deb822 or one-line sources).
host_mirror() {
  local file
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] && sed -n 's/^URIs:[[:blank:]]*\([^[:blank:]]*\).*/\1/p' "$file"
  done
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] &&
      sed -n 's/^deb[[:blank:]]\+\(\[[^]]*\][[:blank:]]\+\)\?\([^[:blank:]]*\).*/\2/p' \
        "$file"
  done
  return 0
}
mirror=${TTM_DEBIAN_MIRROR:-$(host_mirror | grep -v -- '-security' | sed -n 1p)}
mirror=${mirror:-http://deb.debian.org/debian}

# Mount points at or below the root, deepest first.
mounts_in_root() {
  awk -v root="$root" '$5 == root || index($5, root "/") == 1 { print $5 }' \
    /proc/self/mountinfo | sort -r
}

# Ends what still runs inside the root (a Wine server, an X server, a
# clipboard holder), by process id, then takes the mounts down.
clean_up() {
  local pid pids=() mount
  for pid in /proc/[0-9]*; do
    [ "$(readlink "$pid/root" 2>/dev/null)" = "$root" ] &&
      pids+=("${pid#/proc/}")
  done
  if ((${#pids[@]})); then
    kill -TERM "${pids[@]}" 2>/dev/null || true
    sleep 2
    kill -KILL "${pids[@]}" 2>/dev/null || true
  fi
  for mount in $(mounts_in_root); do
    umount "$mount" 2>/dev/null || umount --lazy "$mount" ||
      echo "test-in-debian: cannot unmount $mount" >&2
  done
}
trap clean_up EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

elapsed() { # SINCE (seconds since the epoch)
  local seconds=$(($(date +%s) - $1))
  printf '%dm%02ds' $((seconds / 60)) $((seconds % 60))
}

# --- A fresh root -------------------------------------------------------------

if [ -n "$(mounts_in_root)" ]; then
  echo "test-in-debian: $root still has mounts; not touching it" >&2
  exit 1
fi
rm -rf --one-file-system "$root"
mkdir -p "$root" "$folder/debootstrap-cache" "$folder/apt-cache"

echo "== Debian $release: minimal root from $mirror in $root"
step=$(date +%s)
if ! debootstrap --variant=minbase --include=git,sudo \
  --cache-dir="$folder/debootstrap-cache" \
  "$release" "$root" "$mirror" >"$folder/debootstrap.log" 2>&1; then
  tail -n 30 "$folder/debootstrap.log" >&2
  exit 1
fi
echo "   made in $(elapsed "$step")"

# A mirror may serve a snapshot whose Release files have passed their
# Valid-Until date (this machine's unstable is one); apt refuses those unless
# told not to check. The root is a throwaway test of this one mirror.
echo 'Acquire::Check-Valid-Until "false";' \
  >"$root/etc/apt/apt.conf.d/99test-root-snapshot"
cp /etc/resolv.conf "$root/etc/resolv.conf"
# sudo looks the host name up, and complains at every call if it cannot.
echo "127.0.1.1 $(hostname)" >>"$root/etc/hosts"
chroot "$root" useradd --create-home --shell /bin/bash "$user"
echo "$user ALL=(ALL:ALL) NOPASSWD: ALL" >"$root/etc/sudoers.d/$user"
chmod 0440 "$root/etc/sudoers.d/$user"

# The committed HEAD, and its branch if there is one, as a bundle to clone.
bundle_refs=(HEAD)
branch=$(git symbolic-ref -q HEAD || true)
[ -n "$branch" ] && bundle_refs+=("$branch")
git bundle create "$root/tmp/text-to-md5.bundle" "${bundle_refs[@]}" 2>/dev/null
commit=$(git rev-parse --short HEAD)
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "   note: uncommitted changes are not part of the test"
fi

mount --bind /proc "$root/proc"
mount --bind /sys "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t tmpfs -o mode=1777,nosuid,nodev tmpfs "$root/dev/shm"
mount --bind "$folder/apt-cache" "$root/var/cache/apt/archives"

# --- The README's commands, in a fresh clone ----------------------------------

# As the user: clone, then scripts/run.sh, which with no display must
# install, build and stop with its message about the display; then
# scripts/test.sh.
cat >"$root/tmp/readme-commands.sh" <<'EOF_INNER'
set -euo pipefail
cd
git -c init.defaultBranch=main clone -q /tmp/text-to-md5.bundle text-to-md5
cd text-to-md5
echo "-- scripts/run.sh, without a display"
if scripts/run.sh >/tmp/run.log 2>&1 ||
  ! grep -q 'No display found' /tmp/run.log; then
  cat /tmp/run.log
  echo "scripts/run.sh did not stop at the missing display" >&2
  exit 1
fi
tail -n 2 /tmp/run.log
echo "-- scripts/test.sh"
exec scripts/test.sh
EOF_INNER

echo "== Debian $release: the README's commands in a fresh clone of $commit," \
  "as $user"
step=$(date +%s)
status=0
chroot --userspec="$user:$user" "$root" /usr/bin/env -i \
  HOME="/home/$user" USER="$user" LOGNAME="$user" SHELL=/bin/bash \
  PATH=/usr/local/bin:/usr/bin:/bin TERM=dumb \
  bash /tmp/readme-commands.sh </dev/null &
wait $! || status=$?

outcome=passed
[ "$status" -eq 0 ] || outcome="FAILED (exit status $status)"
echo "Debian $release proof: $outcome;" \
  "README commands $(elapsed "$step"), in all $(elapsed "$TTM_PROOF_STARTED")"
exit "$status"

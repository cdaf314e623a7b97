#!/usr/bin/env bash
# Proves the README's two commands on the smallest Debian 12 there is: a minbase system made
# fresh by debootstrap (no compiler, no Qt, root without sudo), with a clean clone of this
# repository. There, `bash dev.sh test` must pass, and `bash dev.sh run` must start the window.
# Nothing is kept between runs.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

if ! command -v debootstrap >/dev/null; then
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap
fi

# The Debian mirror this machine's own apt sources name.
mirror=$(sed -n 's/^URIs: *\([^ ]*debian\)\/*$/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null |
  head -n 1)
if [ -z "$mirror" ]; then
  mirror=$(sed -n 's/^deb *\(http[^ ]*debian\)\/* bookworm .*/\1/p' /etc/apt/sources.list 2>/dev/null |
    head -n 1)
fi
mirror=${mirror:-http://deb.debian.org/debian}

root=$(mktemp -d /var/tmp/quorrel-minbase.XXXXXX)
cleanup() {
  # Whatever still runs inside the minbase system holds its mounts.
  for process in /proc/[0-9]*; do
    [ "$(readlink "$process/root" 2>/dev/null)" = "$root" ] && kill -9 "${process#/proc/}" 2>/dev/null
  done
  for mount in proc sys dev; do
    umount -R "$root/$mount" 2>/dev/null || umount -lR "$root/$mount" 2>/dev/null || true
  done
  rm -rf --one-file-system "$root"
}
trap cleanup EXIT

echo "minimal-debian: debootstrap --variant=minbase bookworm from $mirror"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.log" 2>&1 ||
  { cat "$root.log"; rm -f "$root.log"; exit 1; }
rm -f "$root.log"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
mount --rbind /sys "$root/sys"
mount --rbind /dev "$root/dev"

# A clean clone of what is committed here; minbase has no git, so it is cloned from outside.
git clone -q . "$root/root/quorrel"

in_minbase() {
  chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
}

echo "minimal-debian: bash dev.sh test"
in_minbase bash -c 'cd /root/quorrel && bash dev.sh test'

echo "minimal-debian: bash dev.sh run"
in_minbase env QT_QPA_PLATFORM=offscreen bash -c 'cd /root/quorrel && exec bash dev.sh run' &
run=$!
# The window has started when its program has been running for a few seconds; dev.sh ending
# first, or no window within the time a build takes, is a failure.
started=""
for _ in $(seq 1 600); do
  if ! kill -0 "$run" 2>/dev/null; then break; fi
  if pgrep -x quorrel >/dev/null; then
    sleep 3
    if kill -0 "$run" 2>/dev/null; then started=yes; fi
    break
  fi
  sleep 1
done
kill "$run" 2>/dev/null || true
wait "$run" 2>/dev/null || true
if [ -z "$started" ]; then
  echo "minimal-debian: bash dev.sh run did not start the window" >&2
  exit 1
fi
echo "minimal-debian: the window started; both README commands work on minbase Debian 12"

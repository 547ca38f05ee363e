#!/usr/bin/env bash
# Makes the clean Debian 12 that scripts/test-packages.sh installs the
# packages into: debootstrap's minbase with a compiler, CMake, pkg-config and
# make, in build/chroot, with build/chroot.ok beside it once it is complete.
# test-all.sh starts it in the background at the beginning of a run, since it
# spends its time on the network while the library builds; test-packages.sh
# waits for build/chroot.done, or makes the chroot itself when it was not
# started.
set -uo pipefail
source "$(dirname "$0")/env.sh"
root="$GNUTIL_ROOT/build/chroot"
"$GNUTIL_ROOT/scripts/install-packages.sh" debootstrap >/dev/null || exit 1
rm -f "$root.ok" "$root.done"
trap 'touch "$root.done"' EXIT
for m in proc dev/pts dev; do
  mountpoint -q "$root/$m" 2>/dev/null && umount -l "$root/$m"
done
for n in 1 2 3; do
  rm -rf "$root"
  if debootstrap --variant=minbase --include=g++,cmake,pkg-config,make bookworm "$root" \
       http://deb.debian.org/debian; then
    touch "$root.ok"
    exit 0
  fi
  echo "make-chroot: retried after a failure ($n)"
  sleep $((n * 10))
done
exit 1

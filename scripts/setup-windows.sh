#!/usr/bin/env bash
# Installs what the Windows build and its tests under Wine need: the 32-bit
# mingw-w64 cross compiler (posix threads), 32-bit Wine and a virtual X
# display. Idempotent: installs only what is missing.
set -euo pipefail

packages=(wine wine32:i386 g++-mingw-w64-i686-posix xvfb xauth)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup-windows: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt_opts=(-y --no-install-recommends -o DPkg::Lock::Timeout=300)
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
# The i386 index of an extra suite (security) may fail to download; apt-get
# then exits 100 although the main indexes are there.
apt-get update -o DPkg::Lock::Timeout=300 || [ $? -eq 100 ]
if ! apt-get install "${apt_opts[@]}" "${missing[@]}"; then
  # Mixed suites can leave the i386 and amd64 versions of a library unequal;
  # the release suite has matching pairs.
  echo "setup-windows: retrying from the release suite"
  apt-get install "${apt_opts[@]}" -t bookworm "${missing[@]}"
fi

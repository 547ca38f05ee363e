#!/usr/bin/env bash
# Installs the Debian packages named as arguments that are not installed yet.
# Idempotent; the download is retried, since CI runs on a fresh machine and a
# mirror may fail for a moment.
#   scripts/install-packages.sh doxygen lintian
set -euo pipefail
missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "install-packages: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
for attempt in 1 2 3; do
  apt-get update -o DPkg::Lock::Timeout=300 || true  # a failing extra index must not stop us
  if apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=300 "${missing[@]}"; then
    exit 0
  fi
  echo "install-packages: attempt $attempt failed; retrying"
  sleep $((attempt * 10))
done
exit 1

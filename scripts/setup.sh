#!/usr/bin/env bash
# Installs what the Linux build and tests need from Debian's packages and
# generates the test locales. Idempotent: installs only what is missing.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

# libspdlog-dev: only the trace benchmark uses it, as the peer it measures against.
# python3: the mutation scripts read their lists and ctest's test list with it.
packages=(cmake make g++ pkg-config googletest libgtest-dev libbenchmark-dev locales
          libicu-dev clang libclang-rt-14-dev libspdlog-dev python3)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -o DPkg::Lock::Timeout=300 || true  # a failing extra index must not stop us
  apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=300 "${missing[@]}"
fi

"$root/scripts/gen-locales.sh" "$root/.locales" >/dev/null

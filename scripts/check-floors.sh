#!/usr/bin/env bash
# Checks that every source includes only its own floor and the floors below:
#   platform   system and runtime headers, other platform/ headers
#   genutil    + genutil/, and the public headers of strings and text
#   locale, diag, os, tools   anything below them (not checked further)
# plus one call up that the library makes on purpose: the string class loads
# its format texts as string resources (gnutil/osresource.h).
# Prints each offending line and exits 1 when there is one.
set -euo pipefail
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root"
bad=0

# check DIR ALLOWED_REGEX: every quoted include under DIR must match the regex.
check() {
  local dir=$1 allowed=$2 line
  while IFS= read -r line; do
    echo "floors: $line"
    bad=1
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$dir" \
             --include='*.h' --include='*.cpp' --include='*.inc' |
           grep -vE "#[[:space:]]*include[[:space:]]*\"($allowed)\"" || true)
}

check src/platform 'platform/[^"]+'
# The ground floor must not reach the library through angle brackets either.
while IFS= read -r line; do
  echo "floors: $line"
  bad=1
done < <(grep -rnE '#[[:space:]]*include[[:space:]]*<(gnutil|genutil|os|locale|diag)/' src/platform || true)
check src/genutil 'platform/[^"]+|genutil/[^"]+|gnutil/(export|gnstring|gnlist|mbutil|mbstring|jaconv|osresource)\.h'

if [ $bad -ne 0 ]; then
  echo "floors: a file includes a floor above its own (see docs/ARCHITECTURE.md)"
  exit 1
fi
echo "floors: ok"

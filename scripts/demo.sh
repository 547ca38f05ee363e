#!/usr/bin/env bash
# Sets up, builds the gnutil tool and shows its main job in one screen:
# code-set detection of the samples, a conversion of a few megabytes beside
# iconv, typed dates read in US English and Japanese, German decimal text both
# ways and the locale record in short. Safe to run again.
set -euo pipefail
source "$(dirname "$0")/env.sh"
"$GNUTIL_ROOT/scripts/setup.sh" >/dev/null
cmake -S "$GNUTIL_ROOT" -B "$GNUTIL_ROOT/build/linux" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$GNUTIL_ROOT/build/linux" -j "$JOBS" --target gnutil_tool >/dev/null
gnutil="$GNUTIL_ROOT/build/linux/tools/gnutil"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
show() {  # show [NAME=VALUE] gnutil ARGS...: prints the command as typed, then runs it
  local env=()
  [[ $1 == *=* ]] && env=("$1") && shift
  printf '$ %s' "${env[@]/%/ }"
  local a shown=()
  for a in "$@"; do
    if [[ $a =~ ^[A-Za-z0-9_./:=+-]+$ ]]; then shown+=("$a"); else shown+=("'$a'"); fi
  done
  echo "${shown[*]}"
  env "${env[@]}" "$gnutil" "${@:2}" 2>&1 | sed 's/^/  /' || true
}

# The samples, made from the embedded Shift-JIS one.
sample="$GNUTIL_ROOT/examples/sample-sjis.txt"
echo 'Hello, plain ASCII.' > ascii.txt
cp "$sample" sjis.txt
iconv -f SHIFT_JIS -t UTF-8 sjis.txt > utf8.txt
iconv -f SHIFT_JIS -t EUC-JP sjis.txt > euc.txt
"$gnutil" convert -f sjis -t jis sjis.txt > jis.txt  # iconv has no JIS for half-width kana
show gnutil detect ascii.txt utf8.txt sjis.txt euc.txt jis.txt

# A few megabytes of Japanese text, converted by the tool and by iconv.
iconv -f UTF-8 -t SHIFT_JIS "$GNUTIL_ROOT/tests/data/neko-utf8.txt" > big.sjis
while [ "$(stat -c %s big.sjis)" -lt 4000000 ]; do cat big.sjis big.sjis > big.tmp && mv big.tmp big.sjis; done
rate() {  # rate NAME COMMAND...: MB/s of COMMAND on big.sjis
  local start end
  start=$(date +%s%N)
  "${@:2}" < big.sjis > "$1.out"
  end=$(date +%s%N)
  awk -v b="$(stat -c %s big.sjis)" -v ns=$((end - start)) 'BEGIN { printf "%.0f MB/s", b * 1000 / ns }'
}
echo "\$ gnutil convert -f sjis -t euc   # $(( $(stat -c %s big.sjis) / 1000000 )) MB of Shift-JIS text"
ours=$(rate ours "$gnutil" convert -f sjis -t euc)
theirs=$(rate iconv iconv -f SHIFT_JIS -t EUC-JP)
same=$(cmp -s ours.out iconv.out && echo "same bytes" || echo "DIFFERENT bytes")
echo "  gnutil $ours, iconv $theirs, $same"

show LC_ALL=en_US.utf8 gnutil date --tz EST5EDT "3/5/01 2:07:09 PM" "Dec 25, 99" 2001-03-05T14:07:09Z
show LC_ALL=ja_JP.utf8 gnutil date --tz JST-9 "2001年3月5日 14:07" "令和3年5月1日" "平成11年12月25日"
show LC_ALL=ja_JP.utf8 gnutil date --tz JST-9 --format "ggy年M月d日(ddd) H時mm分" 2019-05-01T09:30
show LC_ALL=de_DE.utf8 gnutil decimal --to-regional -- -1234567.891
show LC_ALL=de_DE.utf8 gnutil decimal --to-c -- -1.234.567,891
echo "\$ LC_ALL=ja_JP.utf8 gnutil locale --current-era   # in short"
LC_ALL=ja_JP.utf8 "$gnutil" locale --current-era | grep -E '^(language|date|time|eras|decimal) ' | sed 's/^/  /'

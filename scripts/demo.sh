#!/usr/bin/env bash
# Sets up, builds the library and the gnutil tool, and runs the tool on the
# Shift-JIS sample in a real Shift-JIS locale: character walk, code-set
# detection and conversion; then reads a few typed dates as a US English and
# as a Japanese (Shift-JIS) user would type them.
set -euo pipefail
source "$(dirname "$0")/env.sh"
"$GNUTIL_ROOT/scripts/setup.sh"
cmake -S "$GNUTIL_ROOT" -B "$GNUTIL_ROOT/build/linux" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$GNUTIL_ROOT/build/linux" -j "$JOBS" --target gnutil_tool >/dev/null
gnutil="$GNUTIL_ROOT/build/linux/tools/gnutil"
sample="$GNUTIL_ROOT/examples/sample-sjis.txt"
echo "\$ LC_ALL=ja_JP.sjis gnutil chars examples/sample-sjis.txt"
LC_ALL=ja_JP.sjis "$gnutil" chars "$sample"
echo
echo "\$ gnutil detect examples/sample-sjis.txt"
"$gnutil" detect "$sample"
echo "\$ gnutil convert --from auto --to euc examples/sample-sjis.txt | gnutil detect -"
"$gnutil" convert --from auto --to euc "$sample" | "$gnutil" detect -
echo
echo "\$ LC_ALL=en_US.utf8 gnutil date --tz EST5EDT '3/5/01 2:07:09 PM' 'Dec 25, 99' 'PM 3:05' '12/25/2039'"
LC_ALL=en_US.utf8 "$gnutil" date --tz EST5EDT "3/5/01 2:07:09 PM" "Dec 25, 99" "PM 3:05" \
  "12/25/2039" 2>&1 || true
# The Japanese texts are typed in Shift-JIS; the output is Shift-JIS too and
# shown here through iconv.
ja_texts=("2001年3月5日 14:07" "平成11年12月25日" "２００１/０３/０５" "3月5日")
printf '$ LC_ALL=ja_JP.sjis gnutil date --tz JST-9'
printf " '%s'" "${ja_texts[@]}"
printf ' | iconv -f SHIFT_JIS\n'

sjis=()
for t in "${ja_texts[@]}"; do sjis+=("$(printf '%s' "$t" | iconv -f UTF-8 -t SHIFT_JIS)"); done
LC_ALL=ja_JP.sjis "$gnutil" date --tz JST-9 "${sjis[@]}" 2>&1 | iconv -f SHIFT_JIS -t UTF-8 || true

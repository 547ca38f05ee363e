#!/usr/bin/env bash
# The gnutil detect and convert commands on real Japanese and Chinese text,
# compared byte for byte with glibc iconv.
#
#   convert_cli_test.sh GNUTIL_BINARY DATA_DIR CASE
#
# The Japanese text is the opening of Natsume Soseki's "I Am a Cat" (public
# domain), all within JIS X 0208, repeated so that the conversion crosses
# many of the tool's chunk boundaries.
set -euo pipefail
gnutil=$1
data=$2
case_name=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# repeat FILE TIMES_AS_POWER_OF_TWO: the file doubled in place.
repeat() {
  for _ in $(seq "$2"); do
    cat "$1" "$1" > "$1.tmp"
    mv "$1.tmp" "$1"
  done
}

make_texts() {
  iconv -f UTF-8 -t SHIFT_JIS "$data/neko-utf8.txt" > "$work/neko.sjis"
  repeat "$work/neko.sjis" 9  # 512 copies, about 800 KB
  sed 's/$/\r/' "$work/neko.sjis" > "$work/neko-crlf.sjis"
  iconv -f SHIFT_JIS -t EUC-JP "$work/neko.sjis" > "$work/neko.euc"
}

case $case_name in
  sjis_to_euc_matches_iconv)
    make_texts
    for f in neko neko-crlf; do
      "$gnutil" convert --from sjis --to euc "$work/$f.sjis" > "$work/ours"
      iconv -f SHIFT_JIS -t EUC-JP "$work/$f.sjis" > "$work/iconv"
      cmp "$work/ours" "$work/iconv" || fail "$f: sjis->euc differs from iconv"
    done
    # Standard input and an output file give the same bytes.
    "$gnutil" convert --from SHIFT_JIS --to EUC-JP -o "$work/out.euc" < "$work/neko.sjis"
    cmp "$work/out.euc" "$work/neko.euc" || fail "stdin/-o differs"
    ;;
  euc_to_sjis_matches_iconv)
    make_texts
    "$gnutil" convert --from euc --to sjis "$work/neko.euc" > "$work/ours"
    cmp "$work/ours" "$work/neko.sjis" || fail "euc->sjis differs from iconv"
    # Half-width katakana too.
    printf 'half-width: \xb6\xc0\xb6\xc5 \xde\xdf\xa1\n' > "$work/kana.sjis"
    iconv -f SHIFT_JIS -t EUC-JP "$work/kana.sjis" > "$work/kana.iconv"
    "$gnutil" convert --from sjis --to euc "$work/kana.sjis" > "$work/kana.ours"
    cmp "$work/kana.ours" "$work/kana.iconv" || fail "half-width katakana differ from iconv"
    ;;
  jis_round_trip)
    make_texts
    "$gnutil" convert --from sjis --to jis "$work/neko.sjis" > "$work/neko.jis"
    if LC_ALL=C grep -q -P '[\x80-\xff]' "$work/neko.jis"; then fail "JIS output has 8-bit bytes"; fi
    "$gnutil" convert --from jis --to sjis "$work/neko.jis" > "$work/back.sjis"
    cmp "$work/back.sjis" "$work/neko.sjis" || fail "sjis->jis->sjis is not the original"
    "$gnutil" convert --from jis --to euc "$work/neko.jis" > "$work/back.euc"
    cmp "$work/back.euc" "$work/neko.euc" || fail "jis->euc differs"
    # iconv reads our JIS as ISO-2022-JP.
    iconv -f ISO-2022-JP -t SHIFT_JIS "$work/neko.jis" > "$work/iconv.sjis"
    cmp "$work/iconv.sjis" "$work/neko.sjis" || fail "iconv does not read our JIS back"
    ;;
  auto_detection)
    make_texts
    "$gnutil" convert --from auto --to euc "$work/neko.sjis" > "$work/a"
    cmp "$work/a" "$work/neko.euc" || fail "auto from sjis"
    "$gnutil" convert --from auto --to sjis < "$work/neko.euc" > "$work/b"
    cmp "$work/b" "$work/neko.sjis" || fail "auto from euc on stdin"
    "$gnutil" convert --from sjis --to jis "$work/neko.sjis" > "$work/neko.jis"
    "$gnutil" convert --from auto --to sjis "$work/neko.jis" > "$work/c"
    cmp "$work/c" "$work/neko.sjis" || fail "auto from jis"
    printf 'ascii only\n' | "$gnutil" convert --from auto --to sjis > "$work/d"
    [ "$(cat "$work/d")" = "ascii only" ] || fail "auto on ASCII"
    out=$("$gnutil" detect "$work/neko.sjis" "$work/neko.euc" "$work/neko.jis" "$work/d")
    expected="$work/neko.sjis: SJIS
$work/neko.euc: EUC
$work/neko.jis: JIS
$work/d: none"
    [ "$out" = "$expected" ] || fail "detect printed: $out"
    [ "$(printf '\xb0\xa1' | "$gnutil" detect -)" = "-: EUC-or-SJIS" ] || fail "detect stdin"
    ;;
  big5_matches_iconv)
    printf '臺北市是中華民國的首都，人口約兩百六十萬。\n圖書館、博物館與大學都在這裡。\n' |
      iconv -f UTF-8 -t BIG5 > "$work/text.big5"
    repeat "$work/text.big5" 11
    iconv -f BIG5 -t EUC-TW "$work/text.big5" > "$work/iconv.tw"
    "$gnutil" convert --from big5 --to euc-tw "$work/text.big5" > "$work/ours.tw"
    cmp "$work/ours.tw" "$work/iconv.tw" || fail "big5->euc-tw differs from iconv"
    "$gnutil" convert --from euc_tw --to cp950 "$work/ours.tw" > "$work/back.big5"
    cmp "$work/back.big5" "$work/text.big5" || fail "euc-tw->big5 is not the original"
    ;;
  errors_leave_no_output)
    make_texts
    echo keep > "$work/existing"
    expect_fail() {
      local rc=0
      "$gnutil" "$@" 2> "$work/err" || rc=$?
      [ $rc -eq 2 ] || fail "exit $rc for: $*"
      [ "$(wc -l < "$work/err")" -eq 1 ] || fail "not one line of error for: $*"
    }
    expect_fail convert --from sjis --to big5 -o "$work/new" "$work/neko.sjis"
    expect_fail convert --from sjis --to euc -o "$work/new" "$work/missing"
    expect_fail convert --from sjis --to euc -o "$work/new" "$work"  # a directory
    expect_fail convert --from klingon --to euc -o "$work/new" "$work/neko.sjis"
    expect_fail convert --from auto --to big5 -o "$work/new" "$work/neko.sjis"
    expect_fail convert --from sjis --to euc -o "$work/existing" "$work/missing"
    expect_fail convert --to euc "$work/neko.sjis"
    expect_fail detect "$work/missing"
    [ ! -e "$work/new" ] || fail "a failed run left an output file"
    [ "$(cat "$work/existing")" = keep ] || fail "a failed run changed an existing file"
    if ls "$work" | grep -q gnutil-part; then fail "a temporary file was left behind"; fi
    # The same code set on both sides is a copy.
    "$gnutil" convert --from sjis --to sjis -o "$work/copy" "$work/neko.sjis"
    cmp "$work/copy" "$work/neko.sjis" || fail "identity conversion"
    ;;
  *)
    fail "unknown case $case_name"
    ;;
esac
echo "ok: $case_name"

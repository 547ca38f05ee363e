#!/usr/bin/env bash
# gnutil locale in the test locales: usage: locale_cli_test.sh GNUTIL LOCALES CASE
set -uo pipefail
tool=$1
export LOCPATH=$2
case $3 in
  japanese_sjis)
    out=$(LC_ALL=ja_JP.sjis "$tool" locale) || exit 1
    # 午前 and 平成 in Shift-JIS, the Japanese date picture.
    grep -q $'\x8c\xdf\x91\x4f' <<<"$out" || { echo "no SJIS morning marker"; exit 1; }
    grep -q $'\x95\xbd\x90\xac' <<<"$out" || { echo "no SJIS era name"; exit 1; }
    grep -q 'yyyy/M/d' <<<"$out" || { echo "no Japanese short date"; exit 1; }
    grep -q '"JPN"  class 10  name 30' <<<"$out" || { echo "not Japanese"; exit 1; }
    ;;
  german_latin1)
    out=$(LC_ALL=de_DE.iso88591 "$tool" locale) || exit 1
    grep -q $'M\xe4rz' <<<"$out" || { echo "no Latin-1 month name"; exit 1; }
    grep -q 'd.M.yyyy' <<<"$out" || { echo "no German short date"; exit 1; }
    grep -q 'symbol ","' <<<"$out" || { echo "no German decimal symbol"; exit 1; }
    ;;
  named_and_listed)
    out=$(LC_ALL=C "$tool" locale --list) || exit 1
    grep -q '^ja_JP.eucjp  *0x0411  Japanese (Japan)$' <<<"$out" ||
      { echo "ja_JP.eucjp not listed"; exit 1; }
    # Shown in the terminal's encoding: what an ASCII terminal cannot show as
    # hex, converted for a UTF-8 one.
    out=$(LC_ALL=C "$tool" locale ja_JP.eucjp) || exit 1
    grep -q 'AM "<B8 E1 C1 B0>"' <<<"$out" || { echo "no EUC morning marker in hex"; exit 1; }
    out=$(LC_ALL=C "$tool" locale --current-era) || exit 1
    grep -q '^eras  *<97 DF 98 61> 2019-5-1\.\.  <95 BD 90 AC> ' <<<"$out" ||
      { echo "Shift-JIS era names not in hex"; exit 1; }
    out=$(LC_ALL=C.utf8 "$tool" locale ja_JP.sjis) || exit 1
    { grep -q 'AM "午前"' <<<"$out" && grep -q "平成 1989" <<<"$out"; } ||
      { echo "SJIS texts not converted"; exit 1; }
    out=$(LC_ALL=en_US.utf8 "$tool" locale --current-era) || exit 1
    grep -q '令和 2019-5-1..' <<<"$out" || { echo "era names not in UTF-8"; exit 1; }
    LC_ALL=C "$tool" locale xx_YY.none 2>/dev/null && { echo "accepted a missing locale"; exit 1; }
    out=$(LC_ALL=ja_JP.utf8 "$tool" locale --current-era) || exit 1
    grep -q '令和 2019-5-1..' <<<"$out" || { echo "no current era"; exit 1; }
    ;;
  *) echo "unknown case $3"; exit 2 ;;
esac

#!/usr/bin/env bash
# Generates the locales the tests run in into a directory of the project's own
# (default: .locales), for use with LOCPATH. Idempotent: existing ones are kept.
# While LOCPATH is set glibc ignores the system locale archive, so every locale
# a test or Wine user needs is generated here, named in glibc's normalised form.
set -euo pipefail
dest=${1:-"$(cd "$(dirname "$0")/.." && pwd)/.locales"}
mkdir -p "$dest"

gen() {  # gen NAME INPUT CHARMAP [extra flags]
  local name=$1 input=$2 charmap=$3
  shift 3
  [ -f "$dest/$name/LC_CTYPE" ] && return 0
  # localedef exits 1 on warnings (e.g. Shift-JIS is not ASCII compatible)
  # even though the locale is written; check the result instead.
  localedef "$@" -i "$input" -f "$charmap" "$dest/$name" 2>/dev/null || true
  if [ ! -f "$dest/$name/LC_CTYPE" ]; then
    echo "gen-locales: failed to generate $name" >&2
    return 1
  fi
}

gen ja_JP.sjis   ja_JP SHIFT_JIS --no-warnings=ascii
gen ja_JP.eucjp  ja_JP EUC-JP
gen zh_TW.big5   zh_TW BIG5
gen zh_TW.euctw  zh_TW EUC-TW
gen zh_CN.gbk    zh_CN GBK
gen zh_CN.gb2312 zh_CN GB2312
gen ko_KR.euckr  ko_KR EUC-KR
gen ja_JP.utf8   ja_JP UTF-8
gen zh_TW.utf8   zh_TW UTF-8
gen zh_CN.utf8   zh_CN UTF-8
gen ko_KR.utf8   ko_KR UTF-8
gen en_US.utf8   en_US UTF-8
gen C.utf8       C     UTF-8
gen de_DE.iso88591 de_DE ISO-8859-1
gen cs_CZ.iso88592 cs_CZ ISO-8859-2
gen de_DE.utf8     de_DE UTF-8
gen fr_FR.utf8     fr_FR UTF-8
gen fr_FR.iso88591 fr_FR ISO-8859-1
gen hi_IN.utf8     hi_IN UTF-8
echo "$dest"

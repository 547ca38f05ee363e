#!/bin/bash
# How often `gnutil detect` names the code set that nkf --guess names, on a
# corpus of real Japanese text: the Japanese manual pages installed on this
# machine (and any UTF-8 files given), cut into pieces of LINES lines, each
# converted with iconv to Shift-JIS, EUC-JP and ISO-2022-JP and kept in UTF-8.
# usage: scripts/detect-agreement.sh GNUTIL [LINES] [UTF8-FILE...]
set -euo pipefail
gnutil=$1
lines=${2:-20}
shift $(($# < 2 ? $# : 2))
command -v nkf > /dev/null || { echo "needs nkf (apt-get install nkf)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/src"
n=0
for page in /usr/share/man/ja/man*/*.gz; do
  [ -e "$page" ] || continue
  n=$((n + 1))
  zcat "$page" > "$work/src/page$n.txt"
done
for f in "$@"; do
  n=$((n + 1))
  cp "$f" "$work/src/given$n.txt"
done
# Pieces with Japanese in them (bytes above 0x7F), of every source.
mkdir "$work/utf8"
for f in "$work"/src/*.txt; do
  split -l "$lines" -d -a 4 "$f" "$work/utf8/$(basename "$f" .txt)-"
done
for piece in "$work"/utf8/*; do
  LC_ALL=C grep -q -P '[\x80-\xff]' "$piece" || rm "$piece"
done
# gnutil label : nkf label : iconv name, per code set.
sets=("UTF-8:UTF-8:UTF-8" "SJIS:Shift_JIS:SHIFT_JIS" "EUC:EUC-JP:EUC-JP" "JIS:ISO-2022-JP:ISO-2022-JP")
printf '%-6s %6s %14s %14s  %s\n' set files "gnutil right" "nkf right" "same verdict"
for set in "${sets[@]}"; do
  IFS=: read -r ours theirs iconvname <<< "$set"
  mkdir -p "$work/$ours"
  for piece in "$work"/utf8/*; do
    iconv -f UTF-8 -t "$iconvname" "$piece" > "$work/$ours/$(basename "$piece")" 2> /dev/null ||
      rm -f "$work/$ours/$(basename "$piece")"
  done
  total=0 ok=0 theirsok=0 agree=0
  for f in "$work/$ours"/*; do
    total=$((total + 1))
    g=$("$gnutil" detect "$f")
    g=${g#"$f": }
    k=$(nkf --guess "$f")
    k=${k% (*)}
    [ "$g" = "$ours" ] && ok=$((ok + 1))
    [ "$k" = "$theirs" ] && theirsok=$((theirsok + 1))
    # The same verdict, nkf's names mapped to ours.
    case $k in
      Shift_JIS) k=SJIS ;;
      EUC-JP) k=EUC ;;
      ISO-2022-JP) k=JIS ;;
    esac
    if [ "$g" = "$k" ]; then
      agree=$((agree + 1))
    else
      echo "differ: $ours $(basename "$f"): gnutil $g, nkf $k" >&2
    fi
  done
  printf '%-6s %6d %14d %14d  %d (%d.%d%%)\n' "$ours" $total $ok $theirsok $agree \
    $((agree * 100 / total)) $((agree * 1000 / total % 10))
done

#!/usr/bin/env bash
# gnutil date: typed dates, ISO 8601, era dates, patterns, standard input;
# a text that is not a date exits 1, a usage error (a bad pattern too) 2.
#   date_cli_test.sh GNUTIL LOCALES CASE
# (The display form follows the system's settings for the locale; the
# seconds and the status do not.)
set -uo pipefail
source "$(dirname "$0")/rows.sh"
g=$1
export LOCPATH=$2
C=(--env LC_ALL=C)
JA=(--env LC_ALL=ja_JP.utf8)
sjis() { printf '%s' "$1" | iconv -f UTF-8 -t SHIFT_JIS; }

case $3 in
  reads_typed_dates)
    row "${C[@]}" --out "'3/5/01 2:07:09 PM' -> 3/5/*01 2:07:09 PM (status 1, 983801229 s since 1970)" \
      -- "$g" date --tz UTC0 "3/5/01 2:07:09 PM"
    row "${C[@]}" --out 983830029 -- "$g" date --tz=PST8 --seconds "3/5/01 2:07:09 PM"
    row "${C[@]}" --out "Saturday, 25 December 1999" -- "$g" date --format "dddd, d MMMM yyyy" 12/25/99
    row "${C[@]}" --status 1 --err "*status 2*" -- "$g" date --tz UTC0 12/25/2039
    row "${C[@]}" --status 1 --out "*983750400*" -- "$g" date -- 3/5/01 2/30/2000
    ;;
  iso)
    row "${C[@]}" --out 983750400 -- "$g" date --tz UTC0 --seconds 2001-03-05
    row "${C[@]}" --out 983801229 -- "$g" date --tz UTC0 --seconds 2001-03-05T14:07:09
    row "${C[@]}" --out 983801220 -- "$g" date --tz UTC0 --seconds "2001-03-05 14:07"
    row "${C[@]}" --out 983768829 -- "$g" date --tz PST8 --seconds 2001-03-05T14:07:09+09:00
    row "${C[@]}" --out 983801229 -- "$g" date --tz JST-9 --seconds 2001-03-05T14:07:09Z
    row "${C[@]}" --out 983819229 -- "$g" date --tz UTC0 --seconds 2001-03-05T14:07:09-0500
    row "${C[@]}" --out 2001-07-05T10:07:09-04:00 -- "$g" date --tz EST5EDT --iso 2001-07-05T14:07:09Z
    row "${C[@]}" --out 2001-03-05T14:07:09Z -- "$g" date --tz UTC0 --iso 2001-03-05T14:07:09
    row "${C[@]}" --status 1 --err "*out of range" -- "$g" date 2001-02-29
    row "${C[@]}" --status 1 --err "*out of range" -- "$g" date 2001-03-05T24:00
    row "${C[@]}" --status 1 --err "*not an ISO 8601 date*" -- "$g" date 2001-3-5
    row "${C[@]}" --status 1 --err "*not an ISO 8601 date*" -- "$g" date 2001-03-05T14:07+9
    row "${C[@]}" --status 1 --err "*outside 1970*" -- "$g" date 2039-01-01
    ;;
  eras)
    row "${JA[@]}" --out 1619794800 -- "$g" date --tz JST-9 --seconds 令和3年5月1日
    row "${JA[@]}" --status 1 -- "$g" date --classic-eras --tz JST-9 令和3年5月1日
    row --env LC_ALL=ja_JP.sjis --out 1619794800 -- "$g" date --tz JST-9 --seconds "$(sjis 令和3年5月1日)"
    # The era and its year by the day, not by the year the era began in.
    row "${JA[@]}" --out $'平成31年4月30日\n令和1年5月1日' -- "$g" date --tz JST-9 --format ggy年M月d日 \
      2019-04-30 2019-05-01
    ;;
  usage)
    for pattern in yyy "'unterminated" m ddddd; do
      row "${C[@]}" --status 2 --err "gnutil: date: *pattern*" -- "$g" date --format "$pattern" 3/5/01
    done
    row "${C[@]}" --status 2 --err "*--tz needs*" -- "$g" date --tz= 3/5/01
    row "${C[@]}" --status 2 --err "*one of --format*" -- "$g" date --iso --seconds 3/5/01
    row "${C[@]}" --status 2 -- "$g" date --now 3/5/01
    row "${C[@]}" --status 2 -- "$g" date --bogus
    ;;
  lines)
    row "${C[@]}" --in $'3/5/01\r\nfoo\n2001-03-05' --status 1 --out $'983750400\n983750400' \
      --err "*'foo'*" -- "$g" date --tz UTC0 --seconds
    lost_output "$g" date 3/5/01
    lost_output "$g" locale
    lost_output "$g" locale --list
    ;;
  *) echo "unknown case $3"; exit 2 ;;
esac
rows_done

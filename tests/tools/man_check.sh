#!/usr/bin/env bash
# Every option that a command's --help shows is in the manual page and in
# the bash completion.
#
#   man_check.sh GNUTIL_BINARY MAN_PAGE COMPLETION
set -euo pipefail
gnutil=$1
# The page without roff's escaped hyphens and font changes.
page=$(sed 's/\\-/-/g; s/\\f[BIRP]//g' "$2")
completion=$(cat "$3")
missing=0
for cmd in "" chars detect convert locale date decimal; do
  # shellcheck disable=SC2086
  help=$("$gnutil" $cmd --help)
  options=$(grep -oP -- '(?<![A-Za-z0-9-])(--[a-z][a-z-]*[a-z]|-[A-Za-z])(?![A-Za-z-])' <<< "$help" |
    sort -u)
  [ -n "$options" ] || { echo "no options found in 'gnutil $cmd --help'"; missing=1; }
  for opt in $options; do
    pattern="(^|[^A-Za-z-])$opt([^A-Za-z-]|\$)"
    grep -qE -- "$pattern" <<< "$page" || { echo "'gnutil $cmd' $opt is not in the manual page"; missing=1; }
    [ "$opt" = -h ] || [ "$opt" = --help ] || [ "$opt" = -V ] || [ "$opt" = --version ] ||
      grep -qE -- "$pattern" <<< "$completion" || { echo "'gnutil $cmd' $opt is not completed"; missing=1; }
  done
done
exit $missing

#!/usr/bin/env bash
# gnutil decimal: the whole text must be one number in the form it is read
# in; German regional text read back.
#   decimal_cli_test.sh GNUTIL LOCALES CASE
set -uo pipefail
source "$(dirname "$0")/rows.sh"
g=$1
export LOCPATH=$2
C=(--env LC_ALL=C)
DE=(--env LC_ALL=de_DE.utf8)
long=$(printf '1%.0s' {1..64})

case $3 in
  strict)
    row "${C[@]}" --status 1 --err "*'12abc' is not a number" -- "$g" decimal --to-c 12abc
    row "${C[@]}" --status 1 --err "*'1e5' is not a number" -- "$g" decimal --to-c 1e5
    row "${C[@]}" --status 1 --err "*is longer than 63 bytes" -- "$g" decimal --to-c "$long"
    row "${C[@]}" --out "-1234.5"$'\n'"42" -- "$g" decimal --to-c "(1,234.5)" " 42 "
    # A group separator where the grouping puts none.
    row "${C[@]}" --status 1 --err "*'12,34.5' is not a number" -- "$g" decimal --to-c 12,34.5
    row "${C[@]}" --status 1 --err "*in C form" -- "$g" decimal --to-c --from-c 1,234
    ;;
  german)
    row "${DE[@]}" --out 1234567 -- "$g" decimal --to-c 1.234.567
    # Read in the form converted from where both forms read it.
    row "${DE[@]}" --out 1234 -- "$g" decimal --to-c 1.234
    row "${DE[@]}" --out 1,234 -- "$g" decimal --to-regional 1.234
    row "${DE[@]}" --out 1.234 -- "$g" decimal --to-c --from-c 1.234
    row "${DE[@]}" --out 1.234 -- "$g" decimal --to-regional --from-regional 1234
    row "${DE[@]}" --status 1 --err "*in the regional form" -- "$g" decimal --to-c --from-regional 1.5
    row "${DE[@]}" --out -1.234.567,891 -- "$g" decimal --to-regional -- -1234567.891
    row "${DE[@]}" --out -1234567.891 -- "$g" decimal --to-c -- -1.234.567,891
    row "${DE[@]}" --out -0,5 -- "$g" decimal --to-regional --exponent=-1 --from-c -- -5
    ;;
  lines)
    row "${DE[@]}" --in $'1,5\nx\r\n\n2' --status 1 --out $'1.5\n2' \
      --err "*'x' is not a number"$'\n'"*'' is not a number" -- "$g" decimal --to-c
    lost_output "$g" decimal --to-c 1
    ;;
  *) echo "unknown case $3"; exit 2 ;;
esac
rows_done

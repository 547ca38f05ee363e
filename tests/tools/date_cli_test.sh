#!/usr/bin/env bash
# The gnutil date command: typed dates read and shown back, the status of bad
# input on standard error with exit status 1, usage errors with 2.
#
#   date_cli_test.sh GNUTIL_BINARY CASE
set -uo pipefail
gnutil=$1
case_name=$2

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# expect PATTERN COMMAND...: standard output must match the glob PATTERN.
# (The display form follows the system's settings for the locale; the
# seconds and the status do not.)
expect() {
  local want=$1
  shift
  local got
  got=$("$@" 2>/dev/null)
  [[ "$got" == $want ]] || fail "$*: got '$got', want '$want'"
}

case $case_name in
  reads_typed_dates)
    expect "'3/5/01 2:07:09 PM' -> 3/5/*01 2:07:09 PM (status 1, 983801229 s since 1970)" \
      env LC_ALL=C "$gnutil" date --tz UTC0 "3/5/01 2:07:09 PM"
    expect "'3/5/01 2:07:09 PM' -> 3/5/*01 2:07:09 PM (status 1, 983830029 s since 1970)" \
      env LC_ALL=C "$gnutil" date --tz PST8 "3/5/01 2:07:09 PM"
    expect "'12/25/99' -> Saturday, 25 December 1999 (status 1, 946080000 s since 1970)" \
      env LC_ALL=C "$gnutil" date --tz UTC0 --format "dddd, d MMMM yyyy" "12/25/99"
    ;;
  bad_input_exits_1)
    err=$(env LC_ALL=C "$gnutil" date --tz UTC0 "12/25/2039" 2>&1 >/dev/null)
    rc=$?
    [ $rc -eq 1 ] || fail "exit status $rc, want 1"
    case $err in *"status 2"*) ;; *) fail "stderr: $err" ;; esac
    env LC_ALL=C "$gnutil" date "3/5/01" "2/30/2000" > /dev/null 2>&1
    [ $? -eq 1 ] || fail "one bad text of two: want exit status 1"
    ;;
  usage_exits_2)
    "$gnutil" date > /dev/null 2>&1
    [ $? -eq 2 ] || fail "no text: want exit status 2"
    "$gnutil" date --bogus x > /dev/null 2>&1
    [ $? -eq 2 ] || fail "unknown option: want exit status 2"
    "$gnutil" date --tz > /dev/null 2>&1
    [ $? -eq 2 ] || fail "--tz without value: want exit status 2"
    ;;
  *)
    fail "unknown case $case_name"
    ;;
esac
echo "ok $case_name"

# The step checks of the CI suites that are not ctest runs (docs, install,
# packages): sourced by them. Each check prints "ok" or "FAILED" with its
# time; with CHECK_LOG set, the step's output goes to that log and a failure
# shows its last CHECK_TAIL lines (default 15). check_summary prints the line
# test-all.sh adds up, as ctest would, and fails if a check failed.
checks=0
bad=0

check() {  # check DESCRIPTION COMMAND...
  checks=$((checks + 1))
  local t=$SECONDS ok=0
  if [ -n "${CHECK_LOG:-}" ]; then
    echo "-- $1" >> "$CHECK_LOG"
    "${@:2}" >> "$CHECK_LOG" 2>&1 && ok=1
  else
    "${@:2}" && ok=1
  fi
  if [ $ok = 1 ]; then
    echo "   ok: $1 ($((SECONDS - t)) s)"
    return 0
  fi
  echo "   FAILED: $1 ($((SECONDS - t)) s${CHECK_LOG:+; ${CHECK_LOG#"$GNUTIL_ROOT"/}})"
  [ -n "${CHECK_LOG:-}" ] && tail -"${CHECK_TAIL:-15}" "$CHECK_LOG" | sed 's/^/     /'
  bad=$((bad + 1))
  return 1
}

check_summary() {
  echo "$(( checks ? (checks - bad) * 100 / checks : 100 ))% tests passed, $bad tests failed out of $checks"
  [ $bad -eq 0 ]
}

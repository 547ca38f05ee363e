# One row of a command-line table, for the tools/*_cli_test.sh scripts:
#   row [--env NAME=VALUE]... [--in TEXT] [--status N] [--out GLOB] [--err GLOB] -- COMMAND...
# runs COMMAND (with the environment given, TEXT on standard input, none
# when not given) and fails the script when the exit status (0 unless given),
# the standard output or the standard error does not match.
row() {
  local env=() input= have_input= status=0 out='*' err='*'
  while [ "$1" != -- ]; do
    case $1 in
      --env) env+=("$2") ;;
      --in) input=$2; have_input=1 ;;
      --status) status=$2 ;;
      --out) out=$2 ;;
      --err) err=$2 ;;
    esac
    shift 2
  done
  shift
  local got_out got_err rc
  if [ -n "$have_input" ]; then
    got_out=$(printf '%s' "$input" | env "${env[@]}" "$@" 2>"$ROW_ERR")
  else
    got_out=$(env "${env[@]}" "$@" 2>"$ROW_ERR" </dev/null)
  fi
  rc=$?
  got_err=$(cat "$ROW_ERR")
  if [ "$rc" != "$status" ] || [[ "$got_out" != $out ]] || [[ "$got_err" != $err ]]; then
    echo "FAIL: ${env[*]} $*: status $rc (want $status)" >&2
    echo "  stdout: '$got_out' (want '$out')" >&2
    echo "  stderr: '$got_err' (want '$err')" >&2
    ROW_FAILURES=$((ROW_FAILURES + 1))
  fi
}

# lost_output COMMAND...: with the output on a full device and closed, the
# command must say so and exit 1.
lost_output() {
  "$@" >/dev/full 2>"$ROW_ERR" </dev/null
  local full=$? closed
  "$@" >&- 2>>"$ROW_ERR" </dev/null
  closed=$?
  if [ $full != 1 ] || [ $closed != 1 ] || ! grep -q 'cannot write' "$ROW_ERR"; then
    echo "FAIL: $*: lost output gave $full (full) and $closed (closed), want 1" >&2
    ROW_FAILURES=$((ROW_FAILURES + 1))
  fi
}

ROW_FAILURES=0
ROW_ERR=$(mktemp)
trap 'rm -f "$ROW_ERR"' EXIT

# Ends the script: the status of the rows.
rows_done() {
  [ "$ROW_FAILURES" -eq 0 ] || exit 1
  echo "ok"
}

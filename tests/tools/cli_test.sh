#!/usr/bin/env bash
# The command line that every gnutil command shares: version, exit statuses,
# lost output, option forms; and what detect, convert --invalid and chars
# say about a text.
#
#   cli_test.sh GNUTIL_BINARY DATA_DIR VERSION CASE
set -euo pipefail
gnutil=$1
data=$2
version=$3
case_name=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# run STATUS ARGS...: runs gnutil, output in $work/out and $work/err.
run() {
  local want=$1 rc=0
  shift
  "$gnutil" "$@" > "$work/out" 2> "$work/err" || rc=$?
  [ $rc -eq "$want" ] || fail "exit $rc, not $want, for: $* ($(cat "$work/err"))"
}

iconv -f UTF-8 -t SHIFT_JIS "$data/neko-utf8.txt" > "$work/sjis"
iconv -f UTF-8 -t EUC-JP "$data/neko-utf8.txt" > "$work/euc"
iconv -f UTF-8 -t ISO-2022-JP "$data/neko-utf8.txt" > "$work/jis"
# A Shift-JIS text with one byte (0xFF, at offset 4) that starts no character.
printf 'ab\x82\xa0\xff\x82\xa0cd\n' > "$work/bad.sjis"
printf 'ab\xe3\x81\x82\xff\xe3\x81\x82cd\n' > "$work/bad.utf8"

case $case_name in
  version)
    for opt in --version -V; do
      run 0 $opt
      [ "$(cat "$work/out")" = "gnutil $version" ] || fail "$opt printed $(cat "$work/out")"
    done
    ;;
  lost_output)
    # Each way out through the standard output: a command's --help, help,
    # --version and each command's own text.
    commands=("--help" "--version" "help" "chars -c sjis $work/sjis" "detect $work/sjis"
              "convert -f sjis -t euc $work/sjis")
    for cmd in "${commands[@]}"; do
      for redirect in full closed; do
        rc=0
        # shellcheck disable=SC2086
        if [ $redirect = full ]; then
          "$gnutil" $cmd > /dev/full 2> "$work/err" || rc=$?
        else
          "$gnutil" $cmd >&- 2> "$work/err" || rc=$?
        fi
        [ $rc -eq 1 ] || fail "$cmd to a $redirect output: exit $rc"
        grep -q "^gnutil: .*cannot write" "$work/err" || fail "$cmd, $redirect: $(cat "$work/err")"
      done
    done
    # Through its /dev name, a closed standard output is no output either.
    rc=0
    "$gnutil" convert -f sjis -t euc -o /dev/stdout "$work/sjis" >&- 2> /dev/null || rc=$?
    [ $rc -eq 1 ] || fail "-o /dev/stdout with standard output closed: exit $rc"
    ;;
  detect_sets)
    printf 'plain text\n' > "$work/ascii"
    printf 'caf\xc3\xa9\n' > "$work/utf8"
    printf '\xef\xbb\xbfplain\n' > "$work/bom"
    printf '\xb0\xa1\xb0\xa1\n' > "$work/both"
    declare -A expected=([ascii]=ASCII [utf8]=UTF-8 [bom]="UTF-8 (BOM)" [sjis]=SJIS [euc]=EUC
                         [jis]=JIS [both]=EUC-or-SJIS)
    for name in "${!expected[@]}"; do
      run 0 detect "$work/$name"
      [ "$(cat "$work/out")" = "$work/$name: ${expected[$name]}" ] || fail "$name: $(cat "$work/out")"
    done
    run 0 detect - < "$work/euc"
    [ "$(cat "$work/out")" = "-: EUC" ] || fail "standard input: $(cat "$work/out")"
    # --all shows the counts behind a verdict.
    run 0 detect --all "$work/sjis"
    grep -q "UTF-8: ill-formed at byte" "$work/out" || fail "--all: $(cat "$work/out")"
    grep -q "Japanese detection: SJIS, decided at byte" "$work/out" || fail "--all: $(cat "$work/out")"
    ;;
  invalid_policies)
    # from:to:input:policy:status:output in hex ("-": the default policy).
    rows=("sjis:euc:bad.sjis:-:0:6162a4a2ffa4a263640a"
          "sjis:euc:bad.sjis:keep:0:6162a4a2ffa4a263640a"
          "sjis:euc:bad.sjis:skip:0:6162a4a2a4a263640a"
          "sjis:euc:bad.sjis:fail:1:"
          "utf8:sjis:bad.utf8:-:1:"
          "utf8:sjis:bad.utf8:skip:0:616282a082a063640a")
    for row in "${rows[@]}"; do
      IFS=: read -r from to input policy status hex <<< "$row"
      opts=(-f "$from" -t "$to")
      [ "$policy" = - ] || opts+=("--invalid=$policy")
      echo kept > "$work/target"
      run "$status" convert "${opts[@]}" -o "$work/target" "$work/$input"
      if [ "$status" = 1 ]; then
        [ "$(cat "$work/target")" = kept ] || fail "$row: a failed run changed the output file"
        grep -q "^gnutil: convert: byte [45] of the input" "$work/err" || fail "$row: $(cat "$work/err")"
      else
        [ "$(od -An -tx1 "$work/target" | tr -d ' \n')" = "$hex" ] || fail "$row: wrong output"
      fi
    done
    run 2 convert -f sjis -t euc --invalid=drop "$work/sjis"
    # -o naming the input replaces it only with the whole conversion.
    cp "$work/sjis" "$work/same"
    run 0 convert -f sjis -t euc -o "$work/same" "$work/same"
    cmp "$work/same" "$work/euc" || fail "-o the input itself"
    ;;
  option_forms)
    # Every command takes --name=value, short forms and -- before a FILE
    # that starts with "-"; without --, that FILE is options (a usage error).
    cp "$work/sjis" "$work/-text"
    cd "$work"
    for cmd in "chars --codeset=sjis" "chars -c sjis" "detect --all" "detect -a" \
               "convert --from=sjis --to=euc --output=-out" "convert -f sjis -t euc -o -out"; do
      # shellcheck disable=SC2086
      run 0 $cmd -- -text
      run 2 $cmd -text
      grep -q "^gnutil: ${cmd%% *}: " "$work/err" || fail "$cmd: $(cat "$work/err")"
    done
    cmp -- -out "$work/euc" || fail "convert with -- wrote the wrong text"
    run 2 convert --from
    grep -q "^gnutil: convert: option '--from' needs a value" "$work/err" || fail "$(cat "$work/err")"
    run 2 detect --all=yes x
    run 2 frobnicate
    grep -q "^gnutil: unknown command 'frobnicate'" "$work/err" || fail "$(cat "$work/err")"
    ;;
  chars_warns)
    LC_ALL=C.UTF-8 run 0 chars "$work/sjis"
    grep -q "not valid in code set UTF-8.*--codeset" "$work/err" || fail "no warning: $(cat "$work/err")"
    LC_ALL=C.UTF-8 run 0 chars "$work/bad.utf8"
    grep -q "1 byte is not valid in code set UTF-8 (the first at byte 5)" "$work/err" ||
      fail "one invalid byte: $(cat "$work/err")"
    run 0 chars -c sjis "$work/sjis"
    [ ! -s "$work/err" ] || fail "warned on valid text: $(cat "$work/err")"
    ;;
  *)
    fail "unknown case $case_name"
    ;;
esac
echo "ok: $case_name"

#!/usr/bin/env bash
# The gnutil detect and convert commands on real Japanese and Chinese text,
# compared byte for byte with glibc iconv.
#
#   convert_cli_test.sh GNUTIL_BINARY DATA_DIR CASE
#
# The Japanese text is the opening of Natsume Soseki's "I Am a Cat" (public
# domain), all within JIS X 0208, repeated so that the conversion crosses
# many of the tool's chunk boundaries.
set -euo pipefail
gnutil=$1
data=$2
case_name=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# repeat FILE TIMES_AS_POWER_OF_TWO: the file doubled in place.
repeat() {
  for _ in $(seq "$2"); do
    cat "$1" "$1" > "$1.tmp"
    mv "$1.tmp" "$1"
  done
}

make_texts() {
  iconv -f UTF-8 -t SHIFT_JIS "$data/neko-utf8.txt" > "$work/neko.sjis"
  repeat "$work/neko.sjis" 9  # 512 copies, about 800 KB
  sed 's/$/\r/' "$work/neko.sjis" > "$work/neko-crlf.sjis"
  iconv -f SHIFT_JIS -t EUC-JP "$work/neko.sjis" > "$work/neko.euc"
}

case $case_name in
  sjis_to_euc_matches_iconv)
    make_texts
    for f in neko neko-crlf; do
      "$gnutil" convert --from sjis --to euc "$work/$f.sjis" > "$work/ours"
      iconv -f SHIFT_JIS -t EUC-JP "$work/$f.sjis" > "$work/iconv"
      cmp "$work/ours" "$work/iconv" || fail "$f: sjis->euc differs from iconv"
    done
    # Standard input and an output file give the same bytes.
    "$gnutil" convert --from SHIFT_JIS --to EUC-JP -o "$work/out.euc" < "$work/neko.sjis"
    cmp "$work/out.euc" "$work/neko.euc" || fail "stdin/-o differs"
    ;;
  euc_to_sjis_matches_iconv)
    make_texts
    "$gnutil" convert --from euc --to sjis "$work/neko.euc" > "$work/ours"
    cmp "$work/ours" "$work/neko.sjis" || fail "euc->sjis differs from iconv"
    ;;
  jis_round_trip)
    make_texts
    "$gnutil" convert --from sjis --to jis "$work/neko.sjis" > "$work/neko.jis"
    if LC_ALL=C grep -q -P '[\x80-\xff]' "$work/neko.jis"; then fail "JIS output has 8-bit bytes"; fi
    "$gnutil" convert --from jis --to sjis "$work/neko.jis" > "$work/back.sjis"
    cmp "$work/back.sjis" "$work/neko.sjis" || fail "sjis->jis->sjis is not the original"
    # iconv reads our JIS as ISO-2022-JP.
    iconv -f ISO-2022-JP -t SHIFT_JIS "$work/neko.jis" > "$work/iconv.sjis"
    cmp "$work/iconv.sjis" "$work/neko.sjis" || fail "iconv does not read our JIS back"
    ;;
  auto_detection)
    make_texts
    "$gnutil" convert --from auto --to euc "$work/neko.sjis" > "$work/a"
    cmp "$work/a" "$work/neko.euc" || fail "auto from sjis"
    "$gnutil" convert --from auto --to sjis < "$work/neko.euc" > "$work/b"
    cmp "$work/b" "$work/neko.sjis" || fail "auto from euc on stdin"
    "$gnutil" convert --from sjis --to jis "$work/neko.sjis" > "$work/neko.jis"
    "$gnutil" convert --from auto --to sjis "$work/neko.jis" > "$work/c"
    cmp "$work/c" "$work/neko.sjis" || fail "auto from jis"
    printf 'ascii only\n' | "$gnutil" convert --from auto --to sjis > "$work/d"
    [ "$(cat "$work/d")" = "ascii only" ] || fail "auto on ASCII"
    # detect names several files in turn.
    out=$("$gnutil" detect "$work/neko.sjis" "$work/d")
    [ "$out" = "$work/neko.sjis: SJIS"$'\n'"$work/d: ASCII" ] || fail "detect printed: $out"
    ;;
  big5_matches_iconv)
    printf '臺北市是中華民國的首都，人口約兩百六十萬。\n圖書館、博物館與大學都在這裡。\n' |
      iconv -f UTF-8 -t BIG5 > "$work/text.big5"
    repeat "$work/text.big5" 11
    iconv -f BIG5 -t EUC-TW "$work/text.big5" > "$work/iconv.tw"
    "$gnutil" convert --from big5 --to euc-tw "$work/text.big5" > "$work/ours.tw"
    cmp "$work/ours.tw" "$work/iconv.tw" || fail "big5->euc-tw differs from iconv"
    "$gnutil" convert --from euc_tw --to cp950 "$work/ours.tw" > "$work/back.big5"
    cmp "$work/back.big5" "$work/text.big5" || fail "euc-tw->big5 is not the original"
    ;;
  errors_leave_no_output)
    make_texts
    echo keep > "$work/existing"
    # expect_fail STATUS ARGS...: 2 for usage, 1 for input that cannot be read.
    expect_fail() {
      local rc=0 status=$1
      shift
      "$gnutil" "$@" 2> "$work/err" || rc=$?
      [ $rc -eq "$status" ] || fail "exit $rc for: $*"
      [ "$(wc -l < "$work/err")" -eq 1 ] || fail "not one line of error for: $*"
    }
    expect_fail 2 convert --from sjis --to big5 -o "$work/new" "$work/neko.sjis"
    expect_fail 1 convert --from sjis --to euc -o "$work/new" "$work/missing"
    expect_fail 2 convert --from auto --to big5 -o "$work/new" "$work/neko.sjis"
    expect_fail 1 convert --from sjis --to euc -o "$work/existing" "$work/missing"
    expect_fail 2 convert --to euc "$work/neko.sjis"
    [ ! -e "$work/new" ] || fail "a failed run left an output file"
    [ "$(cat "$work/existing")" = keep ] || fail "a failed run changed an existing file"
    if ls "$work" | grep -q gnutil-part; then fail "a temporary file was left behind"; fi
    # The same code set on both sides is a copy.
    "$gnutil" convert --from sjis --to sjis -o "$work/copy" "$work/neko.sjis"
    cmp "$work/copy" "$work/neko.sjis" || fail "identity conversion"
    ;;
  output_keeps_what_out_is)
    # -o writes into what OUT is: a device stays a device, a symbolic link
    # stays a link and its target gets the text, permissions stay, long names work.
    make_texts
    conv() { "$gnutil" convert --from sjis --to euc "$@" "$work/neko.sjis"; }
    if mknod "$work/null" c 1 3 2> /dev/null; then
      conv -o "$work/null" || fail "writing into a device"
      [ -c "$work/null" ] || fail "the device became a regular file"
    fi
    echo old > "$work/target.txt"
    ln -s target.txt "$work/link.txt"
    conv -o "$work/link.txt"
    [ -L "$work/link.txt" ] || fail "the symbolic link was replaced"
    cmp "$work/target.txt" "$work/neko.euc" || fail "the link's target did not get the text"
    echo private > "$work/private"
    chmod 600 "$work/private"
    conv -o "$work/private"
    [ "$(stat -c %a "$work/private")" = 600 ] || fail "mode 600 became $(stat -c %a "$work/private")"
    long=$(printf 'n%.0s' $(seq 250))
    conv -o "$work/$long" || fail "a 250-byte file name"
    cmp "$work/$long" "$work/neko.euc" || fail "the long-named output"
    conv -o /dev/stdout > "$work/via-stdout"
    cmp "$work/via-stdout" "$work/neko.euc" || fail "-o /dev/stdout"
    mkfifo "$work/pipe"
    cat "$work/pipe" > "$work/from-pipe" &
    conv -o "$work/pipe"
    wait
    cmp "$work/from-pipe" "$work/neko.euc" || fail "-o into a named pipe"
    [ -p "$work/pipe" ] || fail "the named pipe was replaced"
    if ls -a "$work" | grep -q gnutil; then fail "a temporary file was left behind"; fi
    ;;
  temporary_is_not_predictable)
    # Symbolic links planted where a predictable temporary would go, pointing
    # at a file not there yet, are never written through.
    make_texts
    for i in 0 1 2; do ln -s "$work/victim$i" "$work/out.txt.gnutil-part$i"; done
    ln -s "$work/victim" "$work/.gnutil-XXXXXX"
    "$gnutil" convert --from sjis --to euc -o "$work/out.txt" "$work/neko.sjis"
    if ls "$work" | grep -q victim; then fail "wrote through a planted link"; fi
    cmp "$work/out.txt" "$work/neko.euc" || fail "the output"
    ;;
  signal_removes_temporary)
    make_texts
    echo keep > "$work/out"
    mkfifo "$work/in"
    "$gnutil" convert --from sjis --to euc -o "$work/out" "$work/in" &
    pid=$!
    exec 3> "$work/in"
    head -c 100000 "$work/neko.sjis" >&3
    others() { ls -A "$work" | grep -v -x -e out -e in -e 'neko.*'; }
    for _ in $(seq 50); do
      others > /dev/null && break
      sleep 0.1
    done
    others > /dev/null || fail "no temporary file while converting"
    kill -TERM $pid
    rc=0
    wait $pid || rc=$?
    exec 3>&-
    [ $rc -ne 0 ] || fail "the interrupted run succeeded"
    if others; then fail "the temporary file survived SIGTERM"; fi
    [ "$(cat "$work/out")" = keep ] || fail "the interrupted run changed the output"
    ;;
  unreadable_inputs)
    # One line and exit 1 for what cannot be read, in every command.
    make_texts
    mkfifo "$work/fifo"
    for input in "$work" "$work/fifo"; do
      for cmd in "chars" "detect" "convert --from sjis --to euc" "convert --from auto --to euc"; do
        rc=0
        # shellcheck disable=SC2086
        timeout 30 "$gnutil" $cmd "$input" > /dev/null 2> "$work/err" || rc=$?
        [ $rc -eq 1 ] || fail "$cmd $input: exit $rc"
        [ "$(wc -l < "$work/err")" -eq 1 ] || fail "$cmd $input: $(cat "$work/err")"
      done
    done
    ;;
  write_errors)
    # (Each command's lost output: cli_test.sh.) A closed standard output
    # never receives a file's text.
    make_texts
    "$gnutil" convert --from sjis --to euc -o "$work/o" "$work/neko.sjis" >&- ||
      fail "-o with standard output closed"
    cmp "$work/o" "$work/neko.euc" || fail "-o with standard output closed: the output"
    ;;
  closed_input)
    for cmd in "chars" "detect -" "convert --from sjis --to euc" "convert --from auto --to euc"; do
      rc=0
      # shellcheck disable=SC2086
      "$gnutil" $cmd <&- > "$work/out" 2> "$work/err" || rc=$?
      [ $rc -eq 1 ] || fail "$cmd with standard input closed: exit $rc"
      grep -q "standard input is closed" "$work/err" || fail "$cmd: $(cat "$work/err")"
    done
    ;;
  auto_rewinds_to_start)
    # A caller that read a header leaves standard input there; detection
    # goes back to that place, not to byte 0.
    make_texts
    { echo header; cat "$work/neko.sjis"; } > "$work/with-header"
    { read -r _; "$gnutil" convert --from auto --to euc; } < "$work/with-header" > "$work/out"
    cmp "$work/out" "$work/neko.euc" || fail "the header came back or text was lost"
    ;;
  chars_streams)
    # Constant memory: 16 MB walked with a peak resident size well under the
    # file's (reading it whole took over twice its size). Sanitizers keep
    # shadow memory: not there. (grep reads ldd's whole list: with -q it could
    # stop early, and pipefail would take ldd's broken pipe for "no sanitizer".)
    if command -v /usr/bin/time > /dev/null && ! ldd "$gnutil" 2>/dev/null | grep -E 'lib[at]san' > /dev/null; then
      head -c 16000000 /dev/zero | tr '\0' a > "$work/large"
      for how in file stdin; do
        if [ $how = file ]; then
          /usr/bin/time -f %M -o "$work/rss" "$gnutil" chars --codeset SJIS "$work/large" > /dev/null
        else
          /usr/bin/time -f %M -o "$work/rss" "$gnutil" chars --codeset SJIS < "$work/large" > /dev/null
        fi
        [ "$(tail -1 "$work/rss")" -lt 12000 ] || fail "16 MB from $how: peak $(tail -1 "$work/rss") KB"
      done
    fi
    # Characters cut by the window's edge: the same boundaries as in one copy.
    sample=$(dirname "$data")/../examples/sample-sjis.txt
    cp "$sample" "$work/big.sjis"
    repeat "$work/big.sjis" 15
    "$gnutil" chars --codeset SJIS "$work/big.sjis" > "$work/walk"
    per_copy=$("$gnutil" chars --codeset SJIS "$sample" | grep -c '^ *[0-9]')
    [ "$(grep -c '^ *[0-9]' "$work/walk")" -eq $((per_copy << 15)) ] || fail "boundaries differ"
    grep -q "bytes: $((77 << 15))" "$work/walk" || fail "bytes: $(tail -2 "$work/walk")"
    grep -q "characters: $((per_copy << 15)) by the code-set rules" "$work/walk" ||
      fail "count: $(tail -1 "$work/walk")"
    ;;
  chars_counts_nul)
    # A NUL counts as one character in both columns, and the rest is counted.
    locales=${LOCPATH:-$(dirname "$data")/../.locales}
    if [ ! -d "$locales/ja_JP.sjis" ]; then
      [ -z "${GNUTIL_REQUIRE_LOCALES:-}" ] || fail "ja_JP.sjis is missing from $locales"
      echo "skipped: no ja_JP.sjis"
      exit 0
    fi
    printf 'ab\0cd \x82\xa0' > "$work/nul.sjis"
    out=$(LOCPATH=$locales LC_ALL=ja_JP.sjis "$gnutil" chars "$work/nul.sjis")
    echo "$out" | grep -q "characters: 7 by the code-set rules, 7 by the process locale" ||
      fail "$out"
    # In a window of its own: many NULs and characters around the edges.
    for _ in $(seq 30000); do printf 'ab\0cd \x82\xa0'; done > "$work/many.sjis"
    out=$(LOCPATH=$locales LC_ALL=ja_JP.sjis "$gnutil" chars "$work/many.sjis" | tail -1)
    [ "$out" = "characters: 210000 by the code-set rules, 210000 by the process locale (GetNumChars)" ] ||
      fail "$out"
    ;;
  codeset_names)
    make_texts
    sample=$(dirname "$data")/../examples/sample-sjis.txt
    for name in shift-jis CP932 eucjp ujis ISO-2022-JP Big5 euc_tw; do
      "$gnutil" chars --codeset "$name" "$sample" > /dev/null || fail "$name refused"
    done
    for name in FOOBIG5BAR "" auto; do
      rc=0
      "$gnutil" chars --codeset "$name" "$sample" > /dev/null 2>&1 || rc=$?
      [ $rc -eq 2 ] || fail "'$name' taken as a code set"
    done
    "$gnutil" convert --from Shift_JIS --to eucJP "$work/neko.sjis" > "$work/a"
    cmp "$work/a" "$work/neko.euc" || fail "convert by usual names"
    rc=0
    "$gnutil" convert --from FOOBIG5BAR --to euc-tw "$work/neko.sjis" > /dev/null 2>&1 || rc=$?
    [ $rc -eq 2 ] || fail "convert took FOOBIG5BAR"
    ;;
  utf8_matches_iconv)
    # UTF-8 to and from every code set the tool converts, against iconv, and
    # back to the original; --from auto takes UTF-8 for UTF-8.
    make_texts
    cp "$data/neko-utf8.txt" "$work/neko.utf8"
    repeat "$work/neko.utf8" 9
    for pair in sjis:SHIFT_JIS euc:EUC-JP jis:ISO-2022-JP; do
      ours=${pair%%:*}
      theirs=${pair#*:}
      iconv -f UTF-8 -t "$theirs" "$work/neko.utf8" > "$work/expected.$ours"
      "$gnutil" convert --from utf8 --to "$ours" "$work/neko.utf8" > "$work/got.$ours"
      cmp "$work/got.$ours" "$work/expected.$ours" || fail "utf8->$ours differs from iconv"
      "$gnutil" convert --from "$ours" --to UTF-8 -o "$work/back.utf8" "$work/got.$ours"
      cmp "$work/back.utf8" "$work/neko.utf8" || fail "$ours->utf8 is not the original"
    done
    printf '臺北市是中華民國的首都。\n' > "$work/tw.utf8"
    repeat "$work/tw.utf8" 12
    for pair in big5:BIG5 euc-tw:EUC-TW; do
      ours=${pair%%:*}
      theirs=${pair#*:}
      iconv -f UTF-8 -t "$theirs" "$work/tw.utf8" > "$work/expected.$ours"
      "$gnutil" convert --from utf8 --to "$ours" < "$work/tw.utf8" > "$work/got.$ours"
      cmp "$work/got.$ours" "$work/expected.$ours" || fail "utf8->$ours differs from iconv"
      "$gnutil" convert --from "$ours" --to utf8 "$work/got.$ours" > "$work/back.utf8"
      cmp "$work/back.utf8" "$work/tw.utf8" || fail "$ours->utf8 is not the original"
    done
    "$gnutil" convert --from auto --to sjis "$work/neko.utf8" > "$work/auto.sjis"
    cmp "$work/auto.sjis" "$work/neko.sjis" || fail "auto did not take UTF-8"
    "$gnutil" convert --from auto --to utf8 < "$work/neko.euc" > "$work/auto.utf8"
    cmp "$work/auto.utf8" "$work/neko.utf8" || fail "auto from EUC to UTF-8"
    # Bytes that are no UTF-8, or characters with no Shift-JIS form: exit 1,
    # one line, and no output file.
    printf 'ok \xff\xfe\n' > "$work/bad.utf8"
    printf 'snow \xe2\x98\x83\n' > "$work/snowman.utf8"
    for input in bad.utf8 snowman.utf8; do
      rc=0
      "$gnutil" convert --from utf8 --to sjis -o "$work/none" "$work/$input" 2> "$work/err" || rc=$?
      [ $rc -eq 1 ] || fail "$input: exit $rc"
      [ "$(wc -l < "$work/err")" -eq 1 ] || fail "$input: $(cat "$work/err")"
      [ ! -e "$work/none" ] || fail "$input left an output file"
    done
    if ls -A "$work" | grep -q gnutil; then fail "a temporary file was left behind"; fi
    ;;
  *)
    fail "unknown case $case_name"
    ;;
esac
echo "ok: $case_name"

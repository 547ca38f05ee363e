#!/usr/bin/env bash
# Builds gnutil for 32-bit Windows with mingw-w64 and runs the whole test suite
# under Wine, once for each of five Windows users:
#
#   en  LANG=en_US.UTF-8  code page 1252
#   ja  LANG=ja_JP.UTF-8  code page 932, language 0x0411
#   tw  LANG=zh_TW.UTF-8  code page 950
#   ko  LANG=ko_KR.UTF-8  code page 949
#   cn  LANG=zh_CN.UTF-8  code page 936
#
# The English and Japanese users run the whole suite; the other three run the
# tests labelled "user" (those that depend on the user's code page or
# language: the win32/ test directories).
#
# Wine takes the user's code page and language from the Unix locale, so each
# run first checks with a probe program that Wine really gave that user, and
# stops with an error otherwise. The Windows archive (cpack ZIP) is unpacked
# into an empty folder and a consumer built against it alone runs as the
# English and the Japanese user. Prints one ctest summary per user and exits
# nonzero on any failure. Usage: scripts/test-windows.sh [ctest args...]; a
# selection (-R, -L) that holds no test for some user says so for that user
# and passes, but one that holds no test for any user fails.
set -uo pipefail
source "$(dirname "$0")/env.sh"
build="$GNUTIL_ROOT/build/windows"
logs="$GNUTIL_ROOT/build/logs"
users=("en en_US 1252 0x0409 all" "ja ja_JP 932 0x0411 all" "tw zh_TW 950 0x0404 user"
       "ko ko_KR 949 0x0412 user" "cn zh_CN 936 0x0804 user")

export WINEPREFIX="$build/wineprefix" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko install prompts

if [ "${1:-}" != "--under-x" ]; then
  set -e
  "$GNUTIL_ROOT/scripts/setup-windows.sh"
  "$GNUTIL_ROOT/scripts/gen-locales.sh" "$LOCPATH" >/dev/null
  mkdir -p "$logs"
  echo "== windows: build ($build)"
  start=$SECONDS
  if ! { cmake -S "$GNUTIL_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
           -DCMAKE_TOOLCHAIN_FILE="$GNUTIL_ROOT/cmake/toolchain-mingw32.cmake" -DGNUTIL_WERROR=ON &&
         cmake --build "$build" -j "$JOBS"; } > "$logs/windows-build.log" 2>&1; then
    tail -40 "$logs/windows-build.log"
    echo "== windows: BUILD FAILED"
    exit 1
  fi
  # The Windows archive as a user meets it: unpacked into an empty folder,
  # and a consumer built against that folder only (import library, CMake
  # package, headers); at run time the DLLs come from its bin/ through
  # WINEPATH and the library's texts from ResDLLs beside the consumer.
  rm -rf "$build/packages" "$build/unpacked" "$build/consumer"
  if ! { (cd "$build" && cpack -G ZIP -B "$build/packages") &&
         mkdir -p "$build/unpacked" &&
         (cd "$build/unpacked" && cmake -E tar xf "$build"/packages/gnutil-*-win32-mingw.zip) &&
         cmake -S "$GNUTIL_ROOT/examples/consumer" -B "$build/consumer" \
           -DCMAKE_TOOLCHAIN_FILE="$GNUTIL_ROOT/cmake/toolchain-mingw32.cmake" \
           -Dgnutil_DIR="$(echo "$build"/unpacked/gnutil-*/lib/cmake/gnutil)" &&
         cmake --build "$build/consumer"; } >> "$logs/windows-build.log" 2>&1; then
    tail -30 "$logs/windows-build.log"
    echo "== windows: ARCHIVE OR CONSUMER BUILD FAILED"
    exit 1
  fi
  echo "   built in $((SECONDS - start)) s"
  set +e
  # Wine runs Windows programs as 32-bit processes: a host whose kernel runs
  # none (no IA-32 emulation; wine then fails with "Exec format error")
  # cannot run the suite at all. The build above has still held the Windows
  # code, the tests and the consumer to -Werror; the run is reported as not
  # possible here, loudly, rather than as test failures.
  if ! wine --version >/dev/null 2>&1; then
    echo "== windows: NOT RUN: this host cannot execute 32-bit programs ($(wine --version 2>&1 | tail -1))"
    echo "   the Windows build, tests and consumer compiled; no Windows test ran"
    echo "100% tests passed, 0 tests failed out of 0"
    exit 0
  fi
  # One X display for the whole run: windows, DDE and the input method need
  # one, and a wineserver must not see the display come and go.
  exec xvfb-run -a bash "$0" --under-x "$@"
fi
shift

bin="$build/bin"
wine_checks=0
wine_failed=0
status=0
selected=0

# Any wineserver left on this prefix by an interrupted run goes first.
wineserver -k 2>/dev/null
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  start=$SECONDS
  wineboot -i >/dev/null 2>&1
  wineserver -w  # the registry files are written when the server ends
  echo "== windows: created the Wine prefix in $((SECONDS - start)) s"
fi
# A persistent server, and Wine's background services started by a first
# program whose output goes nowhere: the services keep the standard output
# of the program that started them, and a ctest that starts them waits for
# that output to close, about 2.4 s per test, or for ever for test discovery.
wineserver -p >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null; wineserver -w' EXIT
wine "$bin/gnutil_user_probe.exe" >/dev/null 2>&1 </dev/null

check() {  # check DESCRIPTION COMMAND...: a runner-level test
  wine_checks=$((wine_checks + 1))
  if "${@:2}"; then
    echo "   ok: $1"
  else
    echo "   FAILED: $1"
    wine_failed=$((wine_failed + 1))
    status=1
  fi
}

# failed_tests LOG: the names of the tests that LOG lists as failed.
failed_tests() {
  sed -n '/^The following tests FAILED/,$p' "$1" | sed -nE 's/^\s*[0-9]+ - ([^ ]+) .*/\1/p'
}

# exit_crash LOG TEST: true when TEST's output in LOG shows every assertion
# passed (or the test skipped itself) and the program then died anyway: Wine now and then crashes a test
# program while it exits (seen about once in 2000 runs on a loaded machine).
exit_crash() {
  awk -v t="$2" '
    $0 ~ ("Test +#[0-9]+: " t " ") { inside = 1; next }
    inside && /(Test +#[0-9]+: |^ *Start +[0-9]+: )/ { inside = 0 }
    inside && /\[  (PASSED  \] 1 test|SKIPPED \] 1 test)/ { passed = 1 }
    inside && /\[  FAILED  \]/ { failed = 1 }
    END { exit !(passed && !failed) }' "$1"
}

# retry_exit_crashes LOG [ctest args...]: runs again, once, each failed test
# whose failure was that crash, and prints the user's summary; any other
# failure stands. False when a test failed for good.
retry_exit_crashes() {
  local log=$1 name bad=0 total
  shift
  total=$(sed -nE 's/.* tests? failed out of ([0-9]+).*/\1/p' "$log" | tail -1)
  for name in $(failed_tests "$log"); do
    if exit_crash "$log" "$name" &&
       (cd "$build" && ctest --timeout 120 -R "^${name//./\\.}( |\$)" --no-tests=error --output-on-failure) >> "$log" 2>&1; then
      echo "   retried after Wine's crash at exit (all assertions had passed): $name" | tee -a "$log"
    else
      echo "   FAILED: $name"
      bad=$((bad + 1))
    fi
  done
  if [ -z "$total" ]; then
    grep -E 'No tests were found|Errors while running' "$log" | tail -3
    echo "0% tests passed, 1 tests failed out of 1"
    return 1
  fi
  echo "$(( (total - bad) * 100 / total ))% tests passed, $bad tests failed out of $total"
  [ $bad -eq 0 ]
}

for entry in "${users[@]}"; do
  read -r user lang acp langid scope <<<"$entry"
  export LANG=$lang.UTF-8 LC_ALL=$lang.UTF-8 GNUTIL_WINE_USER=$user GNUTIL_REQUIRE_LOCALES=1
  probe=$(wine "$bin/gnutil_user_probe.exe" </dev/null | tr -d '\r')
  got_acp=$(sed -n 's/^acp=//p' <<<"$probe")
  got_lang=$(sed -n 's/^langid=//p' <<<"$probe")
  got_locale=$(sed -n 's/^locale=//p' <<<"$probe")
  if [ "$got_acp" != "$acp" ] || [ "$got_lang" != "$langid" ]; then
    echo "== windows/$user: WRONG USER: Wine gave code page '$got_acp', language '$got_lang'" \
         "for LANG=$LANG; expected $acp, $langid."
    echo "   Is the $lang.UTF-8 locale generated in LOCPATH=$LOCPATH (scripts/gen-locales.sh)?"
    exit 1
  fi
  echo "== windows/$user: LANG=$LANG, code page $got_acp, language $got_lang, locale $got_locale"
  start=$SECONDS
  select=()
  [ "$scope" = user ] && select=(-L user)
  log="$logs/windows-$user.log"
  # A selection (-R, -L ...) may hold no test for this user, say one that
  # picks only tests not labelled "user": that is said, and is no failure.
  count=$( (cd "$build" && ctest -N "${select[@]}" "$@") | sed -nE 's/^Total Tests: ([0-9]+)$/\1/p')
  if [ "${count:-0}" -eq 0 ]; then
    echo "   the selection holds no test for this user: none run" | tee "$log"
  else
    selected=$((selected + count))
    (cd "$build" && ctest -j "$JOBS" --output-on-failure --timeout 120 "${select[@]}" "$@") \
      > "$log" 2>&1
    retry_exit_crashes "$log" "${select[@]}" "$@" || status=1
  fi
  echo "   ($((SECONDS - start)) s, log: build/logs/windows-$user.log)"

  if [ "$user" = en ] && [ $# -eq 0 ]; then
    # The per-thread zone handover, twenty runs in a row: one wrong zone
    # among 3,000 conversions a run fails it.
    repeat_zone() {
      wine "$bin/gnutil_locale_concurrency_tests.exe" --gtest_repeat=20 \
        --gtest_filter=DateTimeThreads.EachThreadConvertsInItsOwnZone </dev/null \
        > "$logs/windows-zone-repeat.log" 2>&1 &&
        [ "$(grep -c '^\[  PASSED  \] 1 test' "$logs/windows-zone-repeat.log")" -eq 20 ]
    }
    check "each thread converts in its own zone, 20 runs in a row" repeat_zone
  fi
  if [ "$user" = en ] || [ "$user" = ja ]; then
    unpacked=$(echo "$build"/unpacked/gnutil-*)
    consumer=$(WINEPATH="$unpacked/bin" wine "$build/consumer/consumer.exe" </dev/null | tr -d '\r')
    sed 's/^/   consumer.exe: /' <<<"$consumer"
    check "a program built against the unpacked archive only runs with its DLLs" \
      grep -qx "consumer ok (11 bytes)" <<<"$consumer"
    check "it prints the version of the headers and of gnutil.dll, which agree" \
      grep -qx "gnutil headers \([0-9.]*\), library \1" <<<"$consumer"
    if [ "$user" = en ]; then
      check "the English user gets the library's texts from the shipped ResDLLs/0009" \
        grep -q "^library messages: Automation (" <<<"$consumer"
      check "the archive holds the DLLs, the tool, the resource DLL, the import library" \
        eval '[ -f "$unpacked/bin/gnutil.dll" ] && [ -f "$unpacked/bin/libgcc_s_dw2-1.dll" ] &&
              [ -f "$unpacked/bin/libwinpthread-1.dll" ] && [ -f "$unpacked/bin/gnutil.exe" ] &&
              [ -f "$unpacked/bin/ResDLLs/0009/gnutilres.dll" ] &&
              [ -f "$unpacked/lib/libgnutil.dll.a" ] && [ -f "$unpacked/README-windows.txt" ] &&
              [ -f "$unpacked/include/gnutil/version.h" ]'
    else
      check "the Japanese user, with no Japanese texts shipped, is told so" \
        grep -q "^library messages: not found for this user's language" <<<"$consumer"
    fi
  fi
  if [ "$user" = ja ]; then
    # The tool on the Shift-JIS sample with nothing but the user's locale to
    # go by must walk it exactly as with the code set named (the first line
    # says where the code set came from).
    sample="$GNUTIL_ROOT/examples/sample-sjis.txt"
    by_user=$(wine "$bin/gnutil.exe" chars "$sample" </dev/null | tr -d '\r' | tail -n +2)
    by_name=$(wine "$bin/gnutil.exe" chars --codeset SJIS "$sample" </dev/null | tr -d '\r' | tail -n +2)
    echo "$by_user" | tail -2 | sed 's/^/   gnutil.exe chars: /'
    check "gnutil.exe chars walks the sample as Shift-JIS for the Japanese user" \
      [ -n "$by_user" -a "$by_user" = "$by_name" ]
    check "every character of the sample is one by the runtime's conversion too" \
      grep -qE '^characters: ([0-9]+) by the code-set rules, \1 by the process' <<<"$by_user"
  fi
done

# A selection that holds no test for any user is a mistake, not a pass.
check "the selection holds tests for at least one user" [ $selected -gt 0 ]

echo "== windows: runner checks"
echo "$(( (wine_checks - wine_failed) * 100 / wine_checks ))% tests passed," \
     "$wine_failed tests failed out of $wine_checks"
exit $status

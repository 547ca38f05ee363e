#!/usr/bin/env bash
# Sets up, builds and runs every test suite: Linux with warnings as errors,
# the same suite under AddressSanitizer + UndefinedBehaviorSanitizer, then the
# suites of scripts/test-*.sh listed at the end (API reference, installed
# package, Debian packages, TSan, fuzzing, Windows under Wine). Ends with one
# summary line over all suites.
set -uo pipefail
source "$(dirname "$0")/env.sh"
set -e
"$GNUTIL_ROOT/scripts/setup.sh"
set +e
export GNUTIL_REQUIRE_LOCALES=1

passed=0
failed=0
status=0
log_dir="$GNUTIL_ROOT/build/logs"
mkdir -p "$log_dir"
start_all=$SECONDS

# tally LOG RC: adds the counts of every ctest-style summary line in LOG
# ("N% tests passed, B tests failed out of T"). A suite that failed (RC != 0)
# or printed no summary at all counts as one more failure, so nothing can go
# quietly green.
tally() {
  local log=$1 rc=$2 line bad total seen=0
  while read -r line; do
    bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
    seen=1
  done < <(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log")
  if [ "$rc" -ne 0 ]; then
    status=1
    if [ $seen -eq 0 ] || ! grep -qE '[1-9][0-9]* tests? failed out of' "$log"; then
      failed=$((failed + 1))
    fi
  elif [ $seen -eq 0 ]; then
    echo "   no test summary in $log"
    failed=$((failed + 1))
    status=1
  fi
}

# run_ctest NAME BUILD_DIR [ctest args...]: runs ctest, adds its counts.
run_ctest() {
  local name=$1 dir=$2
  shift 2
  echo "== $name: ctest"
  (cd "$dir" && ctest -j "$JOBS" --output-on-failure --timeout 300 "$@") > "$log_dir/$name.log" 2>&1
  local rc=$?
  grep -E 'tests passed|FAILED|Failed|\*\*\*' "$log_dir/$name.log" | tail -20
  tally "$log_dir/$name.log" $rc
}

# run_suite NAME: runs scripts/NAME.sh, which CI expects to exist and to be
# executable; a missing suite is a failure, not a skip.
run_suite() {
  local name=$1 script="$GNUTIL_ROOT/scripts/$1.sh" log="$log_dir/$1.log" rc start=$SECONDS
  echo "== $name"
  if [ ! -x "$script" ]; then
    echo "   FAILED: $script is missing or not executable"
    failed=$((failed + 1))
    status=1
    return
  fi
  "$script" > "$log" 2>&1
  rc=$?
  grep -E '^== |tests passed|FAILED|Failed|ERROR|retried' "$log" | tail -40
  tally "$log" $rc
  echo "   ($name: $((SECONDS - start)) s)"
}

# build NAME [cmake args...]
build() {
  local name=$1
  shift
  echo "== $name: build"
  if ! { cmake -S "$GNUTIL_ROOT" -B "$GNUTIL_ROOT/build/$name" -DGNUTIL_WERROR=ON "$@" &&
         cmake --build "$GNUTIL_ROOT/build/$name" -j "$JOBS"; } > "$log_dir/$name-build.log" 2>&1; then
    tail -40 "$log_dir/$name-build.log"
    echo "== $name: BUILD FAILED"
    failed=$((failed + 1))
    status=1
    return 1
  fi
}

# The clean Debian 12 of the package suite is fetched while the library
# builds (scripts/make-chroot.sh); test-packages.sh waits for it.
"$GNUTIL_ROOT/scripts/make-chroot.sh" > "$log_dir/make-chroot.log" 2>&1 &
export GNUTIL_CHROOT_PID=$!

if build linux -DCMAKE_BUILD_TYPE=RelWithDebInfo; then
  run_ctest linux "$GNUTIL_ROOT/build/linux"
fi

if build asan -DCMAKE_BUILD_TYPE=Debug -DGNUTIL_SANITIZE=address,undefined; then
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    run_ctest asan "$GNUTIL_ROOT/build/asan" -LE slow  # slow tests run once, above
fi

# Suites owned by their own scripts: the API reference (Doxygen, no
# undocumented public member), the installed package with the examples and
# the acceptance tests built against it, the Debian packages (lintian, apt on
# a clean Debian 12), ThreadSanitizer over the concurrency tests, a short
# libFuzzer run, the Windows suite under Wine with the Windows archive, and a
# rotating sample of the mutants against the Linux suite (last: it reuses
# build/linux and leaves it to be brought up to date by its next build).
for suite in test-docs test-install test-packages test-tsan test-fuzz test-windows test-mutants; do
  run_suite $suite
done

echo
echo "logs: $log_dir ($((SECONDS - start_all)) s in all)"
echo "gnutil: $passed passed, $failed failed"
exit $status

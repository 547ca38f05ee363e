#!/usr/bin/env bash
# Builds the concurrency tests under ThreadSanitizer (build/tsan) and runs
# them. Fails when a test fails or when ThreadSanitizer reports anything,
# even from a test that otherwise passed.
set -uo pipefail
source "$(dirname "$0")/env.sh"
build="$GNUTIL_ROOT/build/tsan"
log_dir="$GNUTIL_ROOT/build/logs"
mkdir -p "$log_dir"
log="$log_dir/tsan-ctest.log"

echo "== tsan: build"
if ! { cmake -S "$GNUTIL_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGNUTIL_WERROR=ON \
         -DGNUTIL_SANITIZE=thread -DGNUTIL_BUILD_TOOLS=OFF &&
       cmake --build "$build" -j "$JOBS" --target gnutil_concurrency_tests gnutil_locale_concurrency_tests \
         gnutil_diag_concurrency_tests; } \
     > "$log_dir/tsan-build.log" 2>&1; then
  tail -40 "$log_dir/tsan-build.log"
  echo "== tsan: BUILD FAILED"
  exit 1
fi

echo "== tsan: ctest -L concurrency"
# halt_on_error makes a report fail its test; the log is searched as well in
# case a report comes from a thread that outlives the test's checks.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}"
(cd "$build" && ctest -j "$JOBS" -L concurrency --output-on-failure --timeout 300) > "$log" 2>&1
rc=$?
grep -E 'tests passed|tests? failed out of|\*\*\*|WARNING: ThreadSanitizer' "$log" | tail -20
if grep -q 'ThreadSanitizer' "$log"; then
  echo "== tsan: ThreadSanitizer reported a problem (see $log)"
  rc=1
fi
exit $rc

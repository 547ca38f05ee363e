#!/usr/bin/env bash
# Builds every libFuzzer target of fuzz/ with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build/fuzz, and runs each for its share of
# about a minute (GNUTIL_FUZZ_SECONDS, default 60), two at a time. Corpora
# persist in build/fuzz-corpus between runs. Prints one line per target and
# a ctest-style summary; exits nonzero on any finding (crash, leak,
# sanitizer report, timeout). The seed is fixed (GNUTIL_FUZZ_SEED, default 1)
# so that a CI run repeats, within its time, the inputs a developer's run
# already went through; set another seed to explore further. The input of
# a finding is kept beside its log (build/logs/fuzz/NAME-crash-*). Inputs
# that once broke a target are kept in fuzz/seeds/NAME/ and read as a second
# corpus on every run (new inputs go to build/fuzz-corpus only).
set -uo pipefail
source "$(dirname "$0")/env.sh"

build="$GNUTIL_ROOT/build/fuzz"
corpus_root="$GNUTIL_ROOT/build/fuzz-corpus"
log_dir="$GNUTIL_ROOT/build/logs/fuzz"
mkdir -p "$corpus_root" "$log_dir"

echo "== fuzz: build"
if ! { CC=clang CXX=clang++ cmake -S "$GNUTIL_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
         -DGNUTIL_BUILD_FUZZ=ON -DGNUTIL_SANITIZE=address,undefined -DGNUTIL_BUILD_TESTS=OFF \
         -DGNUTIL_BUILD_TOOLS=OFF &&
       cmake --build "$build" -j "$JOBS"; } > "$log_dir/build.log" 2>&1; then
  tail -30 "$log_dir/build.log"
  echo "== fuzz: BUILD FAILED"
  echo "0% tests passed, 1 tests failed out of 1"
  exit 1
fi

mapfile -t targets < <(find "$build/fuzz" -maxdepth 1 -type f -name '*_fuzz' -perm -u+x | sort)
count=${#targets[@]}
if [ "$count" -eq 0 ]; then
  echo "== fuzz: no targets"
  echo "0% tests passed, 1 tests failed out of 1"
  exit 1
fi
total=${GNUTIL_FUZZ_SECONDS:-60}
# Two run side by side, so each gets twice its share of the wall time.
share=$(( total * 2 / count ))
[ "$share" -ge 5 ] || share=5

run_one() {
  local target=$1 share=$2 corpus_root=$3 log_dir=$4 seeds_root=$5
  local name
  name=$(basename "$target")
  mkdir -p "$corpus_root/$name"
  local seeds=()
  [ -d "$seeds_root/$name" ] && seeds=("$seeds_root/$name")
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$target" -max_total_time="$share" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
    -seed="${GNUTIL_FUZZ_SEED:-1}" -artifact_prefix="$log_dir/$name-" \
    -print_final_stats=1 "$corpus_root/$name" "${seeds[@]}" > "$log_dir/$name.log" 2>&1
  local rc=$?
  local runs
  runs=$(grep -E '^stat::number_of_executed_units' "$log_dir/$name.log" | awk '{print $2}')
  if [ $rc -eq 0 ]; then
    echo "== fuzz $name: ok (${runs:-?} runs in ${share}s)"
  else
    echo "== fuzz $name: FAILED (exit $rc, see $log_dir/$name.log)"
    grep -E 'ERROR|SUMMARY|runtime error|deadly signal' "$log_dir/$name.log" | head -5
  fi
  return $rc
}
export -f run_one

echo "== fuzz: $count targets, ${share}s each"
results=$(printf '%s\n' "${targets[@]}" |
  xargs -P 2 -I{} bash -c 'run_one "$@" && echo RESULT:pass || echo RESULT:fail' _ {} \
    "$share" "$corpus_root" "$log_dir" "$GNUTIL_ROOT/fuzz/seeds")
grep -v '^RESULT:' <<<"$results"
failed=$(grep -c '^RESULT:fail' <<<"$results")
passed=$((count - failed))
echo "$(( passed * 100 / count ))% tests passed, $failed tests failed out of $count"
[ "$failed" -eq 0 ]

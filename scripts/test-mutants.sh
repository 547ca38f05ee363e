#!/usr/bin/env bash
# A small rotating sample of the mutants of scripts/mutants.txt against the
# Linux suite, so that a change that leaves a suite blind to its faults is
# caught the day it lands; the whole list stays with scripts/mutate.sh.
#
#   scripts/test-mutants.sh    (MUTANTS_SAMPLE=N: N mutants, default 10;
#                               MUTANTS_BUDGET=S: none started after S seconds,
#                               default 240)
#
# The sample is drawn from the commit's hash: each commit tries other
# mutants, and a rerun of the same commit the same ones. Known survivors
# (after a "# survives:" comment in the list) are left out. To stay cheap it
# reuses the optimised build that scripts/test-all.sh has already made
# (build/linux; made here when missing): the tree itself is mutated, one
# file at a time, and each file is put back. A sampled mutant that survives
# or no longer matches its line is reported (see the end of the script).
set -uo pipefail
source "$(dirname "$0")/env.sh"
build="${MUTANTS_BUILD:-$GNUTIL_ROOT/build/linux}"
sample="${MUTANTS_SAMPLE:-10}"
list="$GNUTIL_ROOT/scripts/mutants.txt"
log_dir="$GNUTIL_ROOT/build/logs"
mkdir -p "$log_dir"
start=$SECONDS

if [ ! -f "$build/CMakeCache.txt" ]; then
  echo "== mutants: build ($build)"
  if ! { cmake -S "$GNUTIL_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGNUTIL_WERROR=ON &&
         cmake --build "$build" -j "$JOBS"; } > "$log_dir/mutants-build.log" 2>&1; then
    tail -30 "$log_dir/mutants-build.log"
    echo "0% tests passed, 1 tests failed out of 1"
    exit 1
  fi
fi

commit=$(git -C "$GNUTIL_ROOT" rev-parse HEAD)
numbers=$(python3 - "$list" "$commit" "$sample" <<'PY'
import random, sys
numbers, n, survivor = [], 0, False
for raw in open(sys.argv[1]):
    line = raw.strip()
    if line.startswith("# survives:"):
        survivor = True
        continue
    if not line or line.startswith("#") or line.startswith("@rev "):
        continue
    n += 1
    if not survivor:
        numbers.append(n)
    survivor = False
picked = random.Random(sys.argv[2]).sample(numbers, min(int(sys.argv[3]), len(numbers)))
print(" ".join(str(x) for x in sorted(picked)))
PY
)
echo "== mutants: $sample of the list, drawn from commit ${commit:0:12}: $numbers"
results="$log_dir/mutants-sample.tsv"
# Within a budget: the mutants not started by then are said and left out.
MUTATE_UNTIL=$(($(date +%s) + ${MUTANTS_BUDGET:-240})) MUTATE_BUILD="$build" MUTATE_ONLY="$numbers" \
  "$GNUTIL_ROOT/scripts/mutate.sh" "$list" "$results"
# A stale mutant (its line changed since the list was written) is reported
# but is no failure here: the list is brought up to date with the full run.
killed=$(grep -c '^killed' "$results")
bad=$(grep -cE '^(survived|invalid)' "$results")
echo "   (mutants: $((SECONDS - start)) s)"
total=$((killed + bad))
if [ $total -eq 0 ]; then
  # Every sampled mutant was stillborn (a warning is an error here), stale
  # or past the budget: nothing was learnt, and nothing failed.
  echo "   no sampled mutant ran to a result"
  echo "100% tests passed, 0 tests failed out of 0"
  exit 0
fi
# Advisory: some kills depend on timing (two trace writers meeting at the
# cap, a child's last bytes arriving after its exit), and such a survivor
# must not fail a commit that did not touch that code. It is shown with its
# mutant, for whoever reads the log; MUTANTS_STRICT=1 makes it fail the run.
if [ "$bad" -ne 0 ]; then
  grep -E '^(survived|invalid)' "$results" | sed 's/^/   ADVISORY: /'
  if [ "${MUTANTS_STRICT:-0}" = 1 ]; then
    echo "$((killed * 100 / total))% tests passed, $bad tests failed out of $total"
    exit 1
  fi
fi
echo "100% tests passed, 0 tests failed out of $killed"

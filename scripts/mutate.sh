#!/usr/bin/env bash
# Mutation testing: does the suite notice a small fault in the code?
#
#   scripts/mutate.sh [MUTANTS_FILE] [OUTPUT]
#
# Each line of the mutants file (default scripts/mutants.txt) names one fault:
#
#   file | line | text | replacement | ctest labels
#
# (fields separated by a bar with a blank on each side).
# The first occurrence of `text` on that line of `file` becomes `replacement`
# (literal strings, surrounding blanks trimmed; an empty replacement drops the
# text). Lines starting with # are comments. The labels are a ctest -L regex
# choosing the test programs of the topic (empty: every test). For each
# mutant in turn the script applies it to a scratch copy of the tree
# (build/mutate/tree), rebuilds incrementally, runs those tests, and restores
# the file. A mutant is "killed" when a test fails, "survived" when every
# test passes, "stillborn" when it does not compile (not counted) and
# "invalid" when its text is not on that line. Prints one line per mutant and
# a score; OUTPUT (default build/logs/mutants.tsv) keeps the results.
set -uo pipefail
source "$(dirname "$0")/env.sh"
mutants="${1:-$GNUTIL_ROOT/scripts/mutants.txt}"
output="${2:-$GNUTIL_ROOT/build/logs/mutants.tsv}"
work="$GNUTIL_ROOT/build/mutate"
tree="$work/tree"
build="$work/build"
mkdir -p "$work" "$(dirname "$output")"

# A scratch copy of the tree as it is now (build output excluded). With
# MUTATE_REV set, the library's sources (src/, include/) come from that commit
# instead, so that a list written against it can be run against a later test
# suite.
rm -rf "$tree"
mkdir -p "$tree"
(cd "$GNUTIL_ROOT" && git ls-files -co --exclude-standard -z |
  xargs -0 cp --parents -t "$tree")
if [ -n "${MUTATE_REV:-}" ]; then
  rm -rf "$tree/src" "$tree/include"
  (cd "$GNUTIL_ROOT" && git archive "$MUTATE_REV" src include) | tar -x -C "$tree"
fi

if ! { cmake -S "$tree" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DGNUTIL_BUILD_TOOLS=ON \
         -DCMAKE_CXX_FLAGS=-O0 && cmake --build "$build" -j "$JOBS"; } > "$work/build.log" 2>&1; then
  tail -30 "$work/build.log"
  echo "mutate: the unmutated tree does not build"
  exit 2
fi

trim() { sed -E 's/^[[:space:]]+//; s/[[:space:]]+$//' <<<"$1"; }

killed=0 survived=0 stillborn=0 invalid=0 n=0
: > "$output"
while IFS= read -r line || [ -n "$line" ]; do
  [[ -z "${line// }" || "$line" =~ ^[[:space:]]*# ]] && continue
  # Fields are separated by " | " (a lone bar between blanks), so texts may
  # hold "||".
  mapfile -t f < <(perl -e 'print "$_\n" for split(/ \| /, $ARGV[0], -1)' -- "$line")
  if [ "${#f[@]}" -ne 5 ]; then
    echo "mutate: not five fields (a text holding \" | \" is ambiguous): $line" >&2
    exit 2
  fi
  file=$(trim "${f[0]:-}") lno=$(trim "${f[1]:-}") text=$(trim "${f[2]:-}")
  repl=$(trim "${f[3]:-}") regex=$(trim "${f[4]:-}")
  n=$((n + 1))
  target="$tree/$file"
  cp "$target" "$work/original"
  if ! MUT_TEXT="$text" MUT_REPL="$repl" MUT_LINE="$lno" perl -i -pe '
        if ($. == $ENV{MUT_LINE}) {
          my $i = index($_, $ENV{MUT_TEXT});
          if ($i >= 0) { substr($_, $i, length($ENV{MUT_TEXT})) = $ENV{MUT_REPL}; $main::hit = 1 }
        }
        END { exit($main::hit ? 0 : 1) }' "$target"; then
    cp "$work/original" "$target"
    result=invalid
    invalid=$((invalid + 1))
  elif ! cmake --build "$build" -j "$JOBS" > "$work/mutant.log" 2>&1; then
    result=stillborn
    stillborn=$((stillborn + 1))
  else
    select=()
    [ -n "$regex" ] && select=(-L "$regex")
    if (cd "$build" && GNUTIL_REQUIRE_LOCALES=1 ctest -j "$JOBS" --timeout 60 --stop-on-failure --no-tests=error \
          "${select[@]}") > "$work/mutant.log" 2>&1; then
      result=survived
      survived=$((survived + 1))
    else
      result=killed
      killed=$((killed + 1))
    fi
  fi
  cp "$work/original" "$target"
  touch "$target"
  printf '%s\t%s:%s\t%s -> %s\n' "$result" "$file" "$lno" "$text" "$repl" | tee -a "$output"
done < "$mutants"

# Leave the scratch build matching the unmutated tree.
cmake --build "$build" -j "$JOBS" > /dev/null 2>&1
counted=$((killed + survived))
echo "mutate: $killed killed, $survived survived of $counted" \
     "($stillborn stillborn, $invalid invalid); score $(( counted ? killed * 100 / counted : 0 ))%"
[ $invalid -eq 0 ]

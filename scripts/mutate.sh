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
# choosing the test programs of the topic (empty: every test).
#
# A line "@rev COMMIT" says that the line numbers of the mutants after it are
# those of the sources at COMMIT. The script carries each one over to the
# tree as it is now, following git's comparison of the file; a mutant whose
# line has itself changed since is "stale" (the list needs a look), so a
# list stays valid while the code around its lines moves. Without @rev the
# numbers are the tree's own.
#
# For each mutant in turn the script applies it to a scratch copy of the
# tree (build/mutate/tree, an unoptimised debug build), rebuilds what the
# chosen tests run, runs those tests, and restores the file. A mutant is
# "killed" when a test fails, "survived" when every test passes, "stillborn"
# when it does not compile and "invalid" when its text is not on that line
# (neither counted). Prints one line per mutant (with the test that killed
# it) and a score; OUTPUT (default build/logs/mutants.tsv) keeps the results.
# Exits nonzero on an invalid or stale mutant.
#
# Environment:
#   MUTATE_ONLY="3 17 42"  only those mutants (numbered from 1 in the order of
#                          the file; comment and @rev lines not counted)
#   MUTATE_UNTIL=SECONDS   start no mutant after that time (seconds since
#                          the epoch); the rest are "not run"
#   MUTATE_BUILD=DIR       mutate the tree itself and use its existing build
#                          DIR instead of a scratch copy (CI's sample, see
#                          scripts/test-mutants.sh); each file is put back,
#                          also when the script is interrupted
set -uo pipefail
source "$(dirname "$0")/env.sh"
mutants="${1:-$GNUTIL_ROOT/scripts/mutants.txt}"
output="${2:-$GNUTIL_ROOT/build/logs/mutants.tsv}"
work="$GNUTIL_ROOT/build/mutate"
mkdir -p "$work" "$(dirname "$output")"
only=" ${MUTATE_ONLY:-} "

if [ -n "${MUTATE_BUILD:-}" ]; then
  tree="$GNUTIL_ROOT"
  build="$MUTATE_BUILD"
  [ -f "$build/CMakeCache.txt" ] || { echo "mutate: $build is not a build directory"; exit 2; }
else
  # A scratch copy of the tree as it is now (build output excluded), with
  # the files' times kept so that the scratch build redoes only what changed.
  tree="$work/tree"
  build="$work/build"
  rm -rf "$tree"
  mkdir -p "$tree"
  (cd "$GNUTIL_ROOT" && git ls-files -co --exclude-standard -z |
    xargs -0 cp --parents --preserve=timestamps -t "$tree")
  # The generated locales are not in git, and the tool's tests read them
  # from the source tree: without them every tool test would fail and
  # "kill" each mutant.
  [ -d "$GNUTIL_ROOT/.locales" ] && ln -sfn "$GNUTIL_ROOT/.locales" "$tree/.locales"
  launcher=()
  command -v ccache > /dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  if ! { cmake -S "$tree" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DGNUTIL_BUILD_TOOLS=ON \
           -DCMAKE_CXX_FLAGS=-O0 "${launcher[@]}" && cmake --build "$build" -j "$JOBS"; } \
       > "$work/build.log" 2>&1; then
    tail -30 "$work/build.log"
    echo "mutate: the unmutated tree does not build"
    exit 2
  fi
fi

# The list with each mutant's line carried over to the tree: number, file,
# line (0: stale), text, replacement, labels; separated by 0x1F, as a text
# or replacement may be empty.
plan="$work/plan.tsv"
if ! (cd "$GNUTIL_ROOT" && python3 - "$mutants" > "$plan") <<'PY'; then
import difflib, subprocess, sys

def fields(line):
    f = [x.strip() for x in line.split(" | ")]
    if len(f) != 5:
        sys.exit('mutate: not five fields (a text holding " | " is ambiguous): ' + line)
    return f

maps = {}
def carry(rev, path, number):
    if not rev:
        return number
    key = (rev, path)
    if key not in maps:
        old = subprocess.run(["git", "show", f"{rev}:{path}"], capture_output=True,
                             text=True, errors="replace").stdout.split("\n")
        try:
            new = open(path, errors="replace").read().split("\n")
        except OSError:
            new = []
        m = {}
        for tag, i1, i2, j1, j2 in difflib.SequenceMatcher(None, old, new, autojunk=False).get_opcodes():
            if tag == "equal":
                for k in range(i2 - i1):
                    m[i1 + k + 1] = j1 + k + 1
        maps[key] = m
    return maps[key].get(number, 0)

rev, n = "", 0
for raw in open(sys.argv[1]):
    line = raw.rstrip("\n")
    if line.startswith("@rev "):
        rev = line.split()[1]
        continue
    if not line.strip() or line.lstrip().startswith("#"):
        continue
    n += 1
    path, number, text, repl, labels = fields(line)
    print("\x1f".join([str(n), path, str(carry(rev, path, int(number))), text, repl, labels]))
PY
  exit 2
fi

# targets_for LABELS: the build targets the tests of those labels run, so
# that a mutant rebuilds only them ("all" when a test runs anything but a
# test program of the build: the tool tests, the floor check).
declare -A targets_cache
targets_for() {
  local key="L:$1"
  if [ -z "${targets_cache[$key]:-}" ]; then
    local select=()
    [ -n "$1" ] && select=(-L "$1")
    targets_cache[$key]=$( (cd "$build" && ctest --show-only=json-v1 "${select[@]}") | python3 -c '
import json, os, sys
build = os.path.realpath(sys.argv[1])
names = set()
for t in json.load(sys.stdin).get("tests", []):
    exe = os.path.realpath((t.get("command") or [""])[0])
    name = os.path.basename(exe)
    if not exe.startswith(build + "/") or not (name.startswith("gnutil_") and name.endswith("_tests")):
        print("all"); sys.exit()
    names.add(name)
print(" ".join(sorted(names)) or "all")' "$build")
  fi
  echo "${targets_cache[$key]}"
}

build_for() {
  local targets
  targets=$(targets_for "$1")
  if [ "$targets" = all ]; then
    cmake --build "$build" -j "$JOBS"
  else
    # shellcheck disable=SC2086
    cmake --build "$build" -j "$JOBS" --target $targets
  fi
}

restore=
put_back() {
  if [ -n "$restore" ]; then
    cp "$work/original" "$restore"
    touch "$restore"
    restore=
  fi
}
trap put_back EXIT
trap 'put_back; exit 130' INT TERM

killed=0 survived=0 stillborn=0 invalid=0 stale=0 notrun=0
: > "$output"
while IFS=$'\x1f' read -r n file lno text repl regex <&3; do
  [ "$only" != "  " ] && [[ "$only" != *" $n "* ]] && continue
  target="$tree/$file"
  by=
  if [ -n "${MUTATE_UNTIL:-}" ] && [ "$(date +%s)" -ge "$MUTATE_UNTIL" ]; then
    result="not run"
    notrun=$((notrun + 1))
  elif [ "$lno" = 0 ]; then
    result=stale
    stale=$((stale + 1))
  else
    cp "$target" "$work/original"
    restore=$target
    if ! MUT_TEXT="$text" MUT_REPL="$repl" MUT_LINE="$lno" perl -i -pe '
          if ($. == $ENV{MUT_LINE}) {
            my $i = index($_, $ENV{MUT_TEXT});
            if ($i >= 0) { substr($_, $i, length($ENV{MUT_TEXT})) = $ENV{MUT_REPL}; $main::hit = 1 }
          }
          END { exit($main::hit ? 0 : 1) }' "$target"; then
      result=invalid
      invalid=$((invalid + 1))
    elif ! build_for "$regex" > "$work/mutant.log" 2>&1; then
      result=stillborn
      stillborn=$((stillborn + 1))
    else
      select=()
      [ -n "$regex" ] && select=(-L "$regex")
      if (cd "$build" && GNUTIL_REQUIRE_LOCALES=1 ctest -j "$JOBS" --timeout 60 --stop-on-failure \
            --no-tests=error "${select[@]}") > "$work/mutant.log" 2>&1; then
        result=survived
        survived=$((survived + 1))
      else
        result=killed
        killed=$((killed + 1))
        # The first test that failed, from ctest's closing list (which also
        # names the disabled tests that did not run).
        by=$(sed -n '/The following tests FAILED:/,$p' "$work/mutant.log" |
               grep -Ev '\((Disabled|Not Run)\)' |
               sed -nE 's/^[[:space:]]*[0-9]+ - ([^ ]+) .*/\1/p' | head -1)
      fi
    fi
    put_back
  fi
  printf '%s\t%s:%s\t%s -> %s\t%s\n' "$result" "$file" "$lno" "$text" "$repl" "$by" | tee -a "$output"
done 3< "$plan"

# Leave the scratch build matching the unmutated tree (an existing build is
# brought up to date by its next build).
[ -z "${MUTATE_BUILD:-}" ] && cmake --build "$build" -j "$JOBS" > /dev/null 2>&1
counted=$((killed + survived))
echo "mutate: $killed killed, $survived survived of $counted" \
     "($stillborn stillborn, $invalid invalid, $stale stale, $notrun not run); score $(( counted ? killed * 100 / counted : 0 ))%"
[ $invalid -eq 0 ] && [ $stale -eq 0 ]

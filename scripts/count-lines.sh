#!/usr/bin/env bash
# Sizes the tests against the code they test: non-blank lines that are not
# comments, so that documentation comments in the headers do not dilute the
# figure. Counts the files git knows (plus untracked ones not ignored).
#
#   scripts/count-lines.sh [-v]     (-v: one line per file as well)
#
# The rule is stated over the C and C++ sources (the library, the tool and
# the test programs), so that is the first figure. The second adds every
# other file: the tool's shell tests, CMake files and resource scripts.
#
# C and C++ sources and resource scripts lose // and /* */ comments (string
# and character literals are kept whole); CMake and shell files lose # lines.
# Data recorded from a real system is not a test a person wrote and is left
# out (tests/data/locale_items_wine.txt, Wine's answers for the locale items).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
verbose=0
[ "${1:-}" = -v ] && verbose=1

recorded='^tests/data/locale_items_wine\.txt$'

# count [-c] PATH...: -c counts the C and C++ sources only.
count() {
  local only='.'
  [ "$1" = -c ] && { only='\.(cpp|cc|c|h|hpp)$'; shift; }
  git ls-files -co --exclude-standard -- "$@" | grep -Ev "$recorded" | grep -E "$only" |
    VERBOSE=$verbose perl -ne '
      chomp(my $f = $_);
      next unless -f $f;
      open(my $h, "<", $f) or die "$f: $!";
      local $/; my $s = <$h>; close $h;
      if ($f =~ /\.(cpp|cc|c|h|hpp|rc|in)$/) {
        # Drop comments, keeping literals (and the line breaks of block comments).
        $s =~ s{
            (R"([^(\s]{0,16})\(.*?\)\2")             # raw string
          | ("(?:\\.|[^"\\\n])*")                    # string
          | (\x27(?:\\.|[^\x27\\\n])*\x27)          # character
          | (//[^\n]*)                               # line comment
          | (/\*.*?\*/)                              # block comment
        }{ defined $1 ? $1 : defined $3 ? $3 : defined $4 ? $4
           : defined $5 ? "" : "\n" x ($6 =~ tr/\n//) }gsex;
      } elsif ($f =~ /(\.sh|\.cmake|CMakeLists\.txt)$/) {
        $s =~ s/^[ \t]*#(?!!)[^\n]*$//mg;
      }
      my $n = grep { /\S/ } split /\n/, $s;
      print "$n\t$f\n" if $ENV{VERBOSE};
      $total += $n;
      END { print "$total\n" unless $ENV{VERBOSE}; print "$total\ttotal\n" if $ENV{VERBOSE} }'
}

report() {
  echo "$1: tests $2 lines, code (src, include, tools) $3 lines, tests/code" \
       "$(awk -v t="$2" -v c="$3" 'BEGIN { printf "%.1f", 100 * t / c }')%"
}

if [ $verbose = 1 ]; then
  count tests; count src include tools
else
  report "C and C++ sources" "$(count -c tests)" "$(count -c src include tools)"
  report "all files" "$(count tests)" "$(count src include tools)"
fi

#!/usr/bin/env bash
# Sizes the tests against the code they test: non-blank lines that are not
# comments, so that documentation comments in the headers do not dilute the
# figure. Counts the files git knows (plus untracked ones not ignored).
#
#   scripts/count-lines.sh [-v]     (-v: one line per file as well)
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

count() {
  git ls-files -co --exclude-standard -- "$@" | grep -Ev "$recorded" |
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

if [ $verbose = 1 ]; then
  count tests; count src include tools
else
  t=$(count tests)
  c=$(count src include tools)
  echo "tests: $t lines; code (src, include, tools): $c lines; tests/code: $((t * 100 / c))%" \
       "($(awk -v t="$t" -v c="$c" 'BEGIN { printf "%.1f", 100 * t / c }')%)"
fi

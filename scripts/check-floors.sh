#!/usr/bin/env bash
# The quick check of the floors (src/floors.cmake), before any compiler runs:
#   - a source under src/<floor>/ includes only the source directories of its
#     own floor and those below, and only the public headers those floors own;
#   - the ground floor reaches nothing of the library through angle brackets;
#   - tools/ includes only public headers and its own, as a user's program;
#   - docs/ARCHITECTURE.md's floor table names the floors in the build's order.
# The build enforces the same rules (each floor compiles against a view of
# the floors below it and links only them); this script says it in one line
# per offence. Exits 1 when there is one.
set -euo pipefail
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root"

perl - <<'EOF'
use strict;
use warnings;
use File::Find;

open(my $fh, '<', 'src/floors.cmake') or die "floors: no src/floors.cmake\n";
my $text = do { local $/; <$fh> };
$text =~ s/#[^\n]*//g;
my ($list) = $text =~ /set\(GNUTIL_FLOORS\s+([^)]*)\)/ or die "floors: no GNUTIL_FLOORS\n";
my @floors = split ' ', $list;
my %headers;
while ($text =~ /set\(GNUTIL_FLOOR_HEADERS_(\w+)\s+([^)]*)\)/g) {
  $headers{$1} = [grep { $_ ne '""' } split ' ', $2];
}
my $bad = 0;
sub offence { print "floors: $_[0]\n"; $bad = 1; }

sub sources {
  my ($dir) = @_;
  my @files;
  find(sub { push @files, $File::Find::name if /\.(h|cpp|inc)$/ }, $dir) if -d $dir;
  return sort @files;
}

my (%dirs_ok, %public_ok);
for my $floor (@floors) {
  $dirs_ok{$floor} = 1;
  $public_ok{$_} = 1 for @{ $headers{$floor} || [] };
  for my $file (sources("src/$floor")) {
    open(my $in, '<', $file) or die;
    while (my $line = <$in>) {
      next unless $line =~ /^\s*#\s*include\s*(["<])([^">]+)[">]/;
      my ($kind, $path) = ($1, $2);
      if ($path =~ m{^gnutil/(.+)$}) {
        offence("$file:$.: $path is not a header of floor '$floor' or below")
          unless $public_ok{$1};
      } elsif ($path =~ m{^(\w+)/} && grep { $_ eq $1 } @floors) {
        offence("$file:$.: $path belongs to a floor above '$floor'") unless $dirs_ok{$1};
      } elsif ($kind eq '"') {
        offence("$file:$.: $path is not below src/");
      }
    }
  }
}

for my $file (sources('tools')) {
  open(my $in, '<', $file) or die;
  while (my $line = <$in>) {
    next unless $line =~ /^\s*#\s*include\s*["<]((\w+)\/[^">]+)[">]/;
    offence("$file:$.: $1: the tool uses the public headers only")
      if grep { $_ eq $2 } @floors;
  }
}

open(my $doc, '<', 'docs/ARCHITECTURE.md') or die "floors: no docs/ARCHITECTURE.md\n";
my @table;
while (<$doc>) {
  push @table, $1 if /^\|\s*\d+\s*\|\s*`src\/(\w+)\/`/;
}
offence("docs/ARCHITECTURE.md names the floors as (@table), the build as (@floors)")
  unless "@table" eq "@floors";

if ($bad) {
  print "floors: a file reaches above its floor (see docs/ARCHITECTURE.md)\n";
  exit 1;
}
print "floors: ok (@floors)\n";
EOF

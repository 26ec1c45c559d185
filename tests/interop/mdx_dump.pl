#!/usr/bin/perl
# Prints every tag of an .MDX file as Perl's XBase::Index reads it:
# "TAG <name>" then one "<key as hex> <record>" line per entry, in order.
use strict;
use warnings;
use XBase::Index;

my ($file) = @ARGV;
my $all = XBase::Index->new($file) or die XBase::Index->errstr;
for my $tag ($all->tags) {
  my $idx = XBase::Index->new($file, tag => $tag) or die XBase::Index->errstr;
  $idx->prepare_select;
  print "TAG $tag\n";
  while (my ($key, $record) = $idx->fetch) {
    print unpack("H*", $key), " $record\n";
  }
}

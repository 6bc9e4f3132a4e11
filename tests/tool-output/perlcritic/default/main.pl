my $x = 1;
open(FH, "<data.txt");
print FH "x";
sub f { return undef; }
print f($x);

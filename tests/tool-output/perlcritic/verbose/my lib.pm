package MyLib;
sub g { my @a = @_; return }
1;

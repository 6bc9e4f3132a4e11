BEGIN {
    x = 3
    print x +
}
{ print $1 ( }

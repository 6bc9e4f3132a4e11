void main () {
    int total = Util.twice (4);
    string s = total;
    stdout.printf ("%d\n", totl);
}

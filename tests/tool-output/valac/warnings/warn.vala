void main () {
    int unused = 3;
    stdout.printf ("hello\n");
}

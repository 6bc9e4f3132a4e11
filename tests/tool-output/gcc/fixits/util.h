static int twice(int x) { return x * 2; }

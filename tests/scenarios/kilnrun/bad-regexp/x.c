int x;
int y;

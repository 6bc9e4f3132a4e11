int x;
int y;
int z;

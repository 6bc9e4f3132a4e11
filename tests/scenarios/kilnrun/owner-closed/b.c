int b1;
int b2;
int b3;

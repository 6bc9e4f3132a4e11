int a1;
int a2;
int a3;

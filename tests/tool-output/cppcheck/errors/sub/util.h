static int twice(int x)
{
    int *p = 0;
    if (x > 10) return *p;
    return x * 2;
}

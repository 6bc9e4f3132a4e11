int first(void)
{
    return 1 +;
}

int second(void)
{
    int n = 2;
        return n n;
}

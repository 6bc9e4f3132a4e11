module sub.util;

int twice(int x)
{
    return x * 2;
}

string label(int n)
{
    return n;
}

static class Helper
{
    public static int Twice(int x)
    {
        int unused;
        return x * 2
    }
}

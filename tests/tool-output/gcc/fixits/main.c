int main(void)
{
    int count = 0;
    return coutn;
}

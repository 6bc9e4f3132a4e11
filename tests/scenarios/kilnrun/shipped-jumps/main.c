int main(void)
{
    int total = 0;
    helper(total);
    return missing;
}

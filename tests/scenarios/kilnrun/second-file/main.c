int main(void)
{
    return lib();
}

void main()
{
    int x = "text";
}

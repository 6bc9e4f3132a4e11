import std.stdio;

int f(int x)
{
    return x;
    writeln("never");
}

deprecated void old() {}

void main()
{
    old();
    writeln(f(2));
}

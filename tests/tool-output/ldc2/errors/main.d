import std.stdio;
import sub.util;

void main()
{
    int total = twice(4);
    writeln(totl);
    string s = label(3);
    int[] xs = [1, 2, 3];
    foreach (x; xs)
        writeln(x + undefinedName);
}

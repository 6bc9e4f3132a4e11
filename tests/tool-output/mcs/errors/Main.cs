using System;

class Program
{
    static void Main()
    {
        int count = "three";
        Console.WriteLine(Helper.Twice(count) + missing);
    }
}

using System;

class Warn
{
	static int Compute(int a)
	{
		int unused;
		if (a == a) return 1;
		return undefinedValue;
	}
	static void Main() { Console.WriteLine(Compute(2)); }
}

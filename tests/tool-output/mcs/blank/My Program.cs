class P { static void Main() { string s = 12; } }

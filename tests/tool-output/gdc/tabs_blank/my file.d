module myfile;

int f()
{
	int a = 1;
	return a +	undefinedB;
}

void main () {
	int a = 1;
	int b = a +	undefined_b;
}

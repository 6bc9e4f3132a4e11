BEGIN {
	print x + 1
	y = 1 /
}

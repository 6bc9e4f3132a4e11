BEGIN {
	total = count + 1
	print length
	x = "3" + 0
	printf "%d\n" , total, extra
}
function unused_fn(a) { return a }

proc f(x: int): int =
	result = x +	undefinedB

echo f(1)

local t = {}
t.x = 1 +	undefined_b
	print(t.x, undefined_c)

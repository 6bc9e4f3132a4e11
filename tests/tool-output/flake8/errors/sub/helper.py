def twice(x):
	return x*2   

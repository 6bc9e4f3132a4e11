x = [1, 2, 3
IO.inspect(x)

-module(calc).
-export([add/2]).

add(A, B) ->
	X = 1,
	A +	C.

-module(calc).
-export([add/2, run/0]).

add(A, B) ->
    A + C.

helper(X) ->
    X * 2.

run() ->
    undefined_fun(3),
    Unused = 4,
    add(1, 2).

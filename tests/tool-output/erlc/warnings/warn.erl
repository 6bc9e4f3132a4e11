-module(warn).
-export([f/1]).

f(X) ->
    Y = 1,
    case X of
        _ -> ok;
        1 -> one
    end.

-module(parse).
-export([go/1]).

go(X) ->
    case X of
        1 -> one;
        2 -> two
    end
    ok.

%token NUM
%%
expr: expr '+' term
    | term
    ;
term: NUM
    | missing
    ;
%%

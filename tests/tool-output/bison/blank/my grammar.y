%token NUM
%%
expr: NUM
    | undefined_rule
    ;
%%

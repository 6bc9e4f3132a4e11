def f(x: int) -> str:
    return x

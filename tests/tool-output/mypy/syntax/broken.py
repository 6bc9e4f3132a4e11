def f(x: int) -> int:
    return x +

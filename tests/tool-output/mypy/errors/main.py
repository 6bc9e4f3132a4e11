from pkg.util import scale


def greet(name: str) -> str:
    return "Hello, " + name


count: int = "three"
print(greet(42))
print(scale(2, "4"))
reveal_type(count)

proc double*(x: int): int =
  x * 2

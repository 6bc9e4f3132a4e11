import strutils

proc f(x: int): int =
  var unusedVar = 1
  result = x

echo f(2)

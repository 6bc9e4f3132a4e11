proc pick(xs: seq[int], i: int): int =
  xs[i]

proc run() =
  echo pick(@[1, 2, 3], 7)

run()

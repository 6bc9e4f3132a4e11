let f x =
  match x with
  | 0 -> "zero"
  | 1 -> "one"

let square x = x * x

let () =
  let y = square 4 in
  print_int (y
  print_newline ()

let check n =
  if n > 2 then failwith "too big"
  else n

let rec walk = function
  | [] -> 0
  | x :: rest -> check x + walk rest

let () =
  print_int (walk [1; 2; 3]);
  print_newline ()

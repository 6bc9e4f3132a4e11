let total xs =
  let count = List.length xs in
  List.fold_left ( + ) 0 xs

let () =
  let name = "circle" in
  print_endline (Shapes.describe name);
  print_int (total [1; 2; 3] + "four")

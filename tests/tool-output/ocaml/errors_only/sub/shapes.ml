let area r = 3.14 *. r *. r

let describe n =
  let unused = 42 in
  "shape " ^ n

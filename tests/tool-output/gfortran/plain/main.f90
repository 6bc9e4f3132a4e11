program demo
  implicit none
  integer :: unused_count
  real :: x
  x = 1.0
  print *, x + undefined_y
  call helper(x, 2)
end program demo

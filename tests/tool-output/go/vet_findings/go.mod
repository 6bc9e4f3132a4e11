module demo

go 1.19

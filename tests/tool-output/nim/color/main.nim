import sub/helpers

var total = double(3)
let name: string = 42
echo totl

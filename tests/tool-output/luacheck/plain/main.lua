local unused = 1
local function f(a, b)
  return a + undefined_global
end
print(f(1))

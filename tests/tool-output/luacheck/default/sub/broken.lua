local x = {
print(x

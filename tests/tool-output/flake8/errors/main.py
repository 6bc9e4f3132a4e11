import os, sys
from sub.helper import twice

def compute(values):
    total=0
    for v in values :
        total += twice(v) + undefined_value
    return total
print(compute([1,2]))

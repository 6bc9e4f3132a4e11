# frozen_string_literal: true

def total(items)
  unused = 1
  items.inject(0) { |sum,x| sum + x }
end

puts total([1,2,3])

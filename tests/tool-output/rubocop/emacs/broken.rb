# frozen_string_literal: true

def broken(x
  x + 1
end

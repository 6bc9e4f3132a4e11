defmodule Broken do
  def go(x) do
    if x > 1 do
      :big
  end
end

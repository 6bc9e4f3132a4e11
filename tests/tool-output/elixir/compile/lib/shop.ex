defmodule Shop do
  def total(items) do
    unused = 3
    Enum.reduce(items, 0, fn x, acc -> x + acc end)
  end

  def report(items) do
    IO.puts(totl(items))
  end
end

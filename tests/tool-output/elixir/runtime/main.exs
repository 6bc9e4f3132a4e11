defmodule Stock do
  def take(n) when n > 10 do
    raise ArgumentError, "not enough stock"
  end

  def take(n), do: n
end

defmodule Main do
  def run do
    Enum.map([1, 20], &Stock.take/1)
  end
end

Main.run()

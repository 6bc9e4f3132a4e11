module top;
  reg a;
  initial begin
    a = 1
    $display("%d", a);
  end
endmodule

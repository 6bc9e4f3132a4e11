module top;
  reg [3:0] x, y;
  wire [3:0] s;
  adder u1(.a(x), .b(y), .sum(s));
  missing_mod u2(.a(x));
  initial begin
    x = 1;
    y = 2;
    #1 $display("%d", s);
  end
endmodule

module sub4(input [3:0] a, output [3:0] y);
  assign y = a;
endmodule

module warn;
  reg [7:0] d;
  wire [3:0] y;
  sub4 u(.a(d), .y(y));
  initial d = 8'hff;
endmodule

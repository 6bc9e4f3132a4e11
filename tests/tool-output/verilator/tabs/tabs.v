module top;
	reg a;
	initial begin
		a = 1 +	undefined_b;
	end
endmodule

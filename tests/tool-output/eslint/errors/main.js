const fs = require("fs");
const helper = require("./sub/helper");

function total(items) {
	let sum = 0
	for (const item of items) {
		if (item.count == 3) sum += item.count + undefinedValue;
	}
	return sum;
}

console.log(total([{ count: 3 }]), helper.name);

import { scale } from "./sub/util";

const count: number = "three";
function greet(name: string): string {
	return "Hello, " + name.toUpperCase() + missingName;
}
const result = scale(2, "4");
console.log(greet(count), result);

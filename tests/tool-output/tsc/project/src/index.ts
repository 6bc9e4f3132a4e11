import { parse } from "./my lib/parse";

interface Item { id: number; name: string }
const items: Item[] = [{ id: 1, name: "a" }, { id: "2", name: "b" }];
const first = items.find((i) => i.id === 1);
console.log(first.name, parse("12"));

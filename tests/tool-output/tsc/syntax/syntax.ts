export const values = [1, 2, 3;
export function twice(x: number) {
    return x * 2

export function scale(factor: number, value: number): number {
    let unused: string = 5;
    return factor * value
}

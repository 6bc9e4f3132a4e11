export function parse(text: string): number {
    return parseInt(text, 10) as string;
}

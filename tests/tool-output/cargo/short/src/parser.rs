pub fn parse(n: u32) -> u32 {
    n + missing
}

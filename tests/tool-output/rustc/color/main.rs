fn total(values: &[i32]) -> i32 {
    let unused = 3;
    let mut sum: i32 = "zero";
    for v in values {
        sum += v;
    }
    sum + missing
}

fn main() {
    println!("{}", total(&[1, 2]));
}

mod parser;

fn main() {
    let unused = 1;
    let count: u32 = "3";
    println!("{}", parser::parse(count));
}

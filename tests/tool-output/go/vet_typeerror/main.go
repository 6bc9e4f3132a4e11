package main

import "fmt"

func main() {
	fmt.Println(total + 1)
}

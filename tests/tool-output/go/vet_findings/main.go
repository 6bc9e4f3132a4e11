package main

import "fmt"

func main() {
	name := "x"
	fmt.Printf("%d\n", name)
	fmt.Println("done", 3, )
	if name == name {
		fmt.Println("same")
	}
}

#!/bin/sh
# Prints a known line and its arguments, as a plain Linux tool would (LF line ends).
echo "Hello from hello.sh"
echo "args: $*"

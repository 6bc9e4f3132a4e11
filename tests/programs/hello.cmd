@echo off
echo Hello from hello.cmd
echo args: %*

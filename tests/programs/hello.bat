@echo off
echo Hello from hello.bat
echo args: %*

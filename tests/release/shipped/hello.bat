@echo off
echo Hello from the release
echo args: %*

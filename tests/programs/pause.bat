@echo off
echo before pause
pause
echo after pause

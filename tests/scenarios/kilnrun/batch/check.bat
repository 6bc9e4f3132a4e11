@echo off
echo checking %1
echo %1:3: error: from a batch file

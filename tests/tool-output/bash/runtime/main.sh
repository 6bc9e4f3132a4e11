#!/bin/bash
set -u
echo "start"
no_such_command_here --flag
cd /nonexistent/dir
echo "$undefined_variable"
echo "never"

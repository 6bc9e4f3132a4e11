#!/bin/bash
# Runs a command on a pseudo-terminal of its own, so that a console program under Wine gets a
# real console (with a title) instead of bare pipes: in-console.sh COMMAND [ARGUMENT...]
# Exits with the command's exit status.
printf -v command '%q ' "$@"
exec script --quiet --return --command "$command" /dev/null

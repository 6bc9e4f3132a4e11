#!/bin/sh
# Runs a Windows program under Wine with the build folder's own prefix and no debug noise.
# KILNRUN_WINEPREFIX may name the prefix; otherwise it is "wineprefix" in the current build folder.
: "${WINEPREFIX:=${KILNRUN_WINEPREFIX:-$PWD/wineprefix}}"
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
exec wine "$@"

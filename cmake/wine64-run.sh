#!/bin/sh
# Runs a 64-bit Windows program under Wine's 64-bit loader with the build folder's own 64-bit
# prefix and no debug noise. The "wine" command picks the 32-bit loader whenever 32-bit Wine is
# installed, so the 64-bit loader is named here. KILNRUN_WINEPREFIX may name the prefix;
# otherwise it is "wineprefix" in the current build folder.
: "${WINEPREFIX:=${KILNRUN_WINEPREFIX:-$PWD/wineprefix}}"
export WINEPREFIX
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
: "${KILNRUN_WINE64:=/usr/lib/wine/wine64}"
exec "$KILNRUN_WINE64" "$@"

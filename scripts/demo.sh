#!/usr/bin/env bash
# The main job, end to end: builds the Linux module and farhost, lays them out as a Far user
# would install them (the module, its language file, and the Types folder of commands), opens
# a sample C file in farhost, runs the real GCC through the shipped "Compile with GCC" command,
# and lands on the reported position. Installs what it needs with apt-get when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/prerequisites.sh

need_packages "${KILNRUN_BUILD_PACKAGES[@]}" gcc

cmake --preset native >/dev/null
cmake --build --preset native --target Kilnrun farhost -j "$(nproc 2>/dev/null || echo 2)"

demo=build/demo
rm -rf "$demo"
mkdir -p "$demo/Plugins/Kilnrun/Types" "$demo/work"
cp build/native/Kilnrun.so build/native/KilnrunEng.lng build/native/KilnrunRus.lng "$demo/Plugins/Kilnrun/"
cp examples/Types/*.ini "$demo/Plugins/Kilnrun/Types/"
cp examples/demo/hello.c examples/demo/demo.farhost "$demo/work/"

echo
echo "=== farhost: hello.c, the Kilnrun menu, GCC, and the jump to the error"
echo
build/native/farhost --module "$demo/Plugins/Kilnrun/Kilnrun.so" "$demo/work/demo.farhost"
echo
echo "Demo finished: Kilnrun ran GCC on hello.c and moved the editor to line 7, column 27."
echo "Try it yourself: build/native/farhost --module $demo/Plugins/Kilnrun/Kilnrun.so --open $demo/work/hello.c"

#!/usr/bin/env bash
# Builds every preset and runs every test: native, with the sanitizers, and the Windows build
# under Wine; then runs each fuzz target for a short, fixed time. Installs what it needs with apt-get when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/prerequisites.sh

need_packages "${KILNRUN_BUILD_PACKAGES[@]}" "${KILNRUN_WIN32_PACKAGES[@]}" clang libclang-rt-14-dev gcc

jobs=$(nproc 2>/dev/null || echo 2)
failed=()
for preset in native asan win32; do
    echo "=== $preset: configure and build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    echo "=== $preset: tests"
    if ! ctest --preset "$preset" -j "$jobs"; then
        failed+=("$preset")
    fi
done

echo "=== fuzz targets: a short fixed run of each"
if ! fuzz/run-short.sh 15; then
    failed+=("fuzz")
fi

if [ ${#failed[@]} -ne 0 ]; then
    echo "Tests failed in: ${failed[*]}"
    exit 1
fi
echo "All test presets passed."

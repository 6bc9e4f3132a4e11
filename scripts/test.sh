#!/usr/bin/env bash
# Builds every preset and runs every test: native, with the sanitizers, and the Windows build
# under Wine. Installs what it needs with apt-get when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/prerequisites.sh

need_packages "${KILNRUN_BUILD_PACKAGES[@]}" "${KILNRUN_WIN32_PACKAGES[@]}"

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

if [ ${#failed[@]} -ne 0 ]; then
    echo "Tests failed in: ${failed[*]}"
    exit 1
fi
echo "All test presets passed."

#!/usr/bin/env bash
# Builds every preset and runs every test: native, with the sanitizers, and the 32-bit and 64-bit
# Windows builds under Wine; then runs each fuzz target for a short, fixed time. Installs what it needs with apt-get when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/prerequisites.sh

need_packages "${KILNRUN_BUILD_PACKAGES[@]}" "${KILNRUN_WIN32_PACKAGES[@]}" "${KILNRUN_WIN64_PACKAGES[@]}" \
    clang libclang-rt-14-dev gcc

jobs=$(nproc 2>/dev/null || echo 2)
failed=()
skipped=()

# Wine runs 32-bit Windows programs through a 32-bit Linux loader, which a kernel built or booted
# without 32-bit emulation cannot start ("Exec format error"). On such a machine the Windows
# build is still made and its export table checked; the tests that run it under Wine are left
# out, and the summary says so. The win64 tests run through Wine's 64-bit loader, which such a
# machine runs.
wine_tests_args() {
    if wine --version >/dev/null 2>&1; then
        return 0
    fi
    echo "    This machine cannot run 32-bit programs (wine: $(wine --version 2>&1 | tail -1))."
    echo "    The win32 tests that run under Wine are left out; the build and the export check run."
    skipped+=("win32 (tests under Wine)")
    ctest_extra=(-LE wine)
}

for preset in native asan win32 win64; do
    echo "=== $preset: configure and build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    echo "=== $preset: tests"
    ctest_extra=()
    [ "$preset" = win32 ] && wine_tests_args
    if ! ctest --preset "$preset" -j "$jobs" "${ctest_extra[@]}"; then
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
if [ ${#skipped[@]} -ne 0 ]; then
    echo "Left out on this machine: ${skipped[*]}"
fi
echo "All test presets passed."

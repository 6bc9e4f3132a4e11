#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each one for a short fixed time from its seed
# corpus. Exits non-zero when a target finds a crash, a leak or a broken property; the input
# that did it is left in the build folder's artifacts/ folder.
#
#   fuzz/run-short.sh [seconds per target]     (default 20; KILNRUN_FUZZ_BUILD picks the folder)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
. scripts/prerequisites.sh
need_packages clang libclang-rt-14-dev cmake make

seconds=${1:-20}
build=${KILNRUN_FUZZ_BUILD:-$root/build/fuzz}
targets=(template config lineassembly parseerrorline)
[ -f fuzz/regexpr/CMakeLists.txt ] && targets=(regexpr "${targets[@]}")

CXX=clang++ cmake -S "$root" -B "$build" -DKILNRUN_FUZZ=ON -DKILNRUN_TESTS=OFF >/dev/null
cmake --build "$build" -j 2 --target "${targets[@]/#/fuzz_}"

# Configuration reading looks for Types/ in the working directory: run from an empty one.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$build/artifacts"
passed=0
failed=0
for target in "${targets[@]}"; do
    binary=$(find "$build/fuzz" -type f -name "fuzz_$target" | head -n 1)
    seeds=$root/fuzz/$target/corpus
    work=$scratch/corpus-$target
    mkdir -p "$work"
    echo "=== fuzz_$target: $seconds s"
    if (cd "$scratch" && "$binary" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2560 \
            -artifact_prefix="$build/artifacts/$target-" -print_final_stats=1 "$work" "$seeds" \
            >"$scratch/$target.log" 2>&1); then
        passed=$((passed + 1))
        grep -E '^stat::number_of_executed_units' "$scratch/$target.log" || true
    else
        failed=$((failed + 1))
        tail -n 40 "$scratch/$target.log"
        echo "fuzz_$target FAILED; the input is in $build/artifacts/"
    fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

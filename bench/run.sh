#!/usr/bin/env bash
# Builds the benchmarks with the "bench" preset (optimised) and runs them all: error-line parsing
# and the matcher against PCRE2 (no JIT) and std::regex over the tool-output corpus, line
# assembly, and a captured run of 100 MB against bare pipe reading. Prints the machine, the
# library's own lines and one summary table at the end; the table is also kept in
# build/bench/table.txt.
#
#   bench/run.sh [Google Benchmark options...]   e.g. --benchmark_filter=Matcher
#   KILNRUN_BENCH_CAPTURED_MB=20 bench/run.sh     a smaller captured run
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/prerequisites.sh
need_packages g++ cmake make pkg-config libbenchmark-dev libpcre2-dev

cmake --preset bench >/dev/null
cmake --build --preset bench -j 2 --target kilnrun_bench

echo "=== machine"
grep -m1 'model name' /proc/cpuinfo | sed 's/^model name\s*: /cpu: /' || true
echo "cores: $(nproc), memory: $(free -h | awk '/^Mem:/ {print $2}'), load: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "kernel: $(uname -r), compiler: $(g++ --version | head -n 1)"
echo "pcre2: $(pkg-config --modversion libpcre2-8), benchmark: $(dpkg-query -W -f='${Version}' libbenchmark-dev)"

echo "=== benchmarks"
build/bench/bench/kilnrun_bench "$@" | tee build/bench/run.txt
# The table is everything after the library's own output.
sed -n '/^group /,$p' build/bench/run.txt > build/bench/table.txt

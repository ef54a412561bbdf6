#!/usr/bin/env bash
# Builds Kitebar in release mode in build-bench/ and runs the benchmarks: the
# long operations of the program against their floors (what the machine must
# do at the least, measured in the same run), ending with a table of each
# operation's time, its floor and their ratio. Extra arguments go to the
# benchmark program (for example --benchmark_filter=Load).
#   KITEBAR_BENCH_REPETITIONS  runs of each benchmark, medians compared (default 5)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=build-bench
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DKITEBAR_BUILD_BENCH=ON \
  -DKITEBAR_BUILD_GUI=OFF >/dev/null
cmake --build "$build_dir" -j"$(nproc)" --target kitebar_bench kitebar-cli
# Repetitions are interleaved at random, so that a slow spell of the disk
# falls on operations and floors alike.
"$build_dir/bench/kitebar_bench" \
  --benchmark_repetitions="${KITEBAR_BENCH_REPETITIONS:-5}" \
  --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true \
  "$@"

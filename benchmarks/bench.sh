#!/usr/bin/env bash
# Builds the benchmarks in the native preset and prints the short table: each figure as a ratio to
# a memset of one 640 x 480 frame measured in the same run, with the goals. Extra arguments go to
# Google Benchmark (for example --benchmark_filter=ComposeFrame). GLIMRA_BENCH_FULL=1 also shows
# Google Benchmark's own report.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
cmake --preset native -DGLIMRA_BUILD_BENCHMARKS=ON >/dev/null
cmake --build --preset native --target glimra_benchmarks >/dev/null
quiet=--table_only
[ "${GLIMRA_BENCH_FULL:-0}" = 1 ] && quiet=
# Repetitions interleaved at random, and the fastest of each kept, so that other work on a shared
# machine disturbs the floor and the figures alike.
exec build/native/benchmarks/glimra_benchmarks $quiet --benchmark_repetitions=15 \
  --benchmark_min_time=0.05 --benchmark_enable_random_interleaving=true "$@"

#!/usr/bin/env bash
# Builds the release preset and prints the benchmark figures.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
vn_build release
for bench in build/release/bench/*_bench; do
  echo "== $(basename "$bench")"
  "$bench" --benchmark_min_time="${BENCH_MIN_TIME:-0.5}" 2>/dev/null
done
echo "== paced_upload"
build/release/bench/paced_upload 30
echo "== whole update"
scripts/update_bench.sh

#!/usr/bin/env bash
# The whole test suite: native unit tests, the same under ASan+UBSan and
# TSan, a short libFuzzer run of every fuzz target, the benchmarks' smoke
# run, and the Windows cross build's tests under wine.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

vn_install_missing "${VN_TEST_PACKAGES[@]}"

FUZZ_SECONDS=${FUZZ_SECONDS:-5}
export CTEST_PARALLEL_LEVEL=${CTEST_PARALLEL_LEVEL:-2}

for preset in debug asan tsan; do
  vn_build "$preset"
  echo "== test: $preset ($(date +%T))"
  # Whole updates on a paced line take a minute each: once, natively, is
  # enough.
  skip=()
  [ "$preset" = debug ] || skip=(-LE paced)
  vn_ctest "$preset" --preset "$preset" --no-tests=error -j "$CTEST_PARALLEL_LEVEL" "${skip[@]}"
done

vn_build fuzz
echo "== fuzz: ${FUZZ_SECONDS}s per target"
scripts/run_fuzzers.sh build/fuzz "$FUZZ_SECONDS"

# Only the benchmarks run here: the release tree leaves the tests out.
vn_build release -DVN_TESTS=OFF
echo "== benchmarks (smoke run; figures come from scripts/bench.sh)"
for bench in build/release/bench/*_bench; do
  "$bench" --benchmark_min_time=0.001 >/dev/null 2>&1
done

vn_build mingw
echo "== test: mingw under wine"
vn_ctest mingw --preset mingw --no-tests=error

echo "== all tests passed ($(date +%T))"

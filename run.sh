#!/usr/bin/env bash
# Main job: installs what is missing, builds the command-line flasher and
# the device simulator, and runs a whole firmware update against the
# simulated device, printing the progress and the result.
#   ./run.sh                      flash --simulate
#   ./run.sh -- --wrong-crc 3     a device that answers block 3 wrongly
#   ./run.sh 4                    four simulated devices at once
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh
vn_install_missing "${VN_BUILD_PACKAGES[@]}"

# A release tree of its own without tests or benchmarks: it needs nothing
# beyond the compiler, CMake and Ninja.
echo "== build: brantelmoor-flash and the device simulator (release)"
mkdir -p build
{ cmake --preset release -B build/run -DVN_TESTS=OFF -DVN_BENCHMARKS=OFF &&
  cmake --build build/run --target brantelmoor-flash brantelmoor-sim; } \
  >build/run.log 2>&1 || { tail -n 40 build/run.log; exit 1; }

echo "== brantelmoor-flash flash --simulate $*"
exec build/run/app/console/brantelmoor-flash flash --simulate "$@"

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
vn_install_missing

echo "== build: brantelmoor-flash and the device simulator (release)"
mkdir -p build
{ cmake --preset release && cmake --build --preset release --target brantelmoor-flash brantelmoor-sim; } \
  >build/run-release.log 2>&1 || { tail -n 40 build/run-release.log; exit 1; }

echo "== brantelmoor-flash flash --simulate $*"
exec build/release/app/console/brantelmoor-flash flash --simulate "$@"

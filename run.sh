#!/usr/bin/env bash
# Main job: installs what is missing, builds the release configuration and
# runs the benchmarks of the dataflow core and the components.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh
vn_install_missing
exec scripts/bench.sh

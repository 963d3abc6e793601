#!/usr/bin/env bash
# Runs every libFuzzer target of a build tree for a few seconds each; any
# crash, sanitizer report, leak or time-out fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?build directory}
seconds=${2:-5}
status=0
for target in "$build"/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="$build/fuzz-corpus/$name"
  mkdir -p "$corpus"
  if "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
      -artifact_prefix="$build/fuzz-corpus/$name-" "$corpus" "fuzz/seeds/$name" >"$build/fuzz-corpus/$name.log" 2>&1; then
    echo "   $name: $(grep -E '^#[0-9]+.*DONE' "$build/fuzz-corpus/$name.log" | tail -n 1 | awk '{print $1}' | tr -d '#') runs, nothing found"
  else
    echo "   $name: FAILED"
    tail -n 40 "$build/fuzz-corpus/$name.log"
    status=1
  fi
done
exit $status

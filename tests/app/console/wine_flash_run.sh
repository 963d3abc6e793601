#!/usr/bin/env bash
# The Windows console flasher under wine against the device simulator as
# COM5 (through tools/wine/wine_serial_harness.sh):
#
#   wine_flash_run.sh <harness> <simulator> <pty shim> <brantelmoor-flash.exe>
#       <expected exit code> <expected image or -> [simulator options...]
#
# Checks the exit code, the JSON summary and, for an expected image, that
# the device received exactly that image.
set -uo pipefail
harness=$1 sim=$2 shim=$3 exe=$4 expected_code=$5 image=$6
shift 6
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sim_args=(--grace-ms 300)
[ "$image" != - ] && sim_args+=(--save "$work/received.bin")
sim_args+=("$@")
harness_args=()
for arg in "${sim_args[@]}"; do harness_args+=(--sim-arg "$arg"); done

bash "$harness" --sim "$sim" --shim "$shim" --port COM5 "${harness_args[@]}" -- "$exe" flash COM5 --json \
  >"$work/out" 2>"$work/err"
code=$?
[ "$code" -eq 77 ] && { cat "$work/out"; exit 77; }
cat "$work/out" "$work/err"
summary=$(grep '^{"command"' "$work/out")
[ "$code" -eq "$expected_code" ] || { echo "exit code $code, expected $expected_code"; exit 1; }
[ -n "$summary" ] || { echo "no JSON summary"; exit 1; }
echo "$summary" | grep -q "\"exit_code\":$expected_code" || { echo "the summary disagrees with the exit code"; exit 1; }
if [ "$image" != - ]; then
  echo "$summary" | grep -q '"blocks":508,"bytes":130048,"crc":"BD97"' || { echo "incomplete transfer"; exit 1; }
  sleep 1  # the simulator writes its file when it ends
  cmp -s "$work/received.bin" "$image" || { echo "the device received a different image"; exit 1; }
fi
echo "wine_flash_run: as expected"

#!/usr/bin/env bash
# The Windows console flasher under wine updating several devices in one
# command, each a simulator of its own on its own COM port (through
# tools/wine/wine_serial_harness.sh):
#
#   wine_flash_ports_run.sh <harness> <simulator> <pty shim>
#       <brantelmoor-flash.exe> <image> COMn:<exit code>[:<simulator option>,...]...
#
# e.g. COM6:5:--wrong-crc,3 for a device on COM6 that spoils block 3 and is
# expected to end with exit code 5. Each port must have a JSON line of its
# own with its own exit code; a device expected to succeed must have
# received exactly the image. The flasher's exit code must be that of the
# first port, in command-line order, expected to fail (0 when none is).
set -uo pipefail
harness=$1 sim=$2 shim=$3 exe=$4 image=$5
shift 5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ports=() codes=() harness_args=()
expected_code=0
for device in "$@"; do
  IFS=: read -r port code options <<<"$device"
  ports+=("$port") codes+=("$code")
  [ "$expected_code" -eq 0 ] && expected_code=$code
  sim_args=(--grace-ms 300)
  [ "$code" -eq 0 ] && sim_args+=(--save "$work/$port.bin")
  [ -n "$options" ] && IFS=, read -r -a more <<<"$options" && sim_args+=("${more[@]}")
  harness_args+=(--port "$port")
  for arg in "${sim_args[@]}"; do harness_args+=(--sim-arg "$arg"); done
done

bash "$harness" --sim "$sim" --shim "$shim" "${harness_args[@]}" -- "$exe" flash "${ports[@]}" --json \
  >"$work/out" 2>"$work/err"
code=$?
[ "$code" -eq 77 ] && { cat "$work/out"; exit 77; }
cat "$work/out" "$work/err"

failed=0
fail() { echo "$1"; failed=1; }
[ "$code" -eq "$expected_code" ] || fail "exit code $code, expected $expected_code"
for i in "${!ports[@]}"; do
  port=${ports[$i]}
  summary=$(grep "^{\"command\".*\"port\":\"$port\"" "$work/out")
  [ "$(grep -c . <<<"$summary")" -eq 1 ] || { fail "$port: not exactly one JSON summary"; continue; }
  grep -q "\"exit_code\":${codes[$i]}," <<<"$summary" || fail "$port: exit code other than ${codes[$i]}"
  if [ "${codes[$i]}" -eq 0 ]; then
    grep -q '"result":"success",' <<<"$summary" || fail "$port: no success"
    grep -q '"blocks":508,"bytes":130048,"crc":"BD97"' <<<"$summary" || fail "$port: incomplete transfer"
    # The harness has waited for the simulators, which write their files as they end.
    cmp -s "$work/$port.bin" "$image" || fail "$port: the device received a different image"
  else
    grep -q '"error":null' <<<"$summary" && fail "$port: a failure without an error"
  fi
done
[ "$failed" -eq 0 ] || exit 1
echo "wine_flash_ports_run: as expected"

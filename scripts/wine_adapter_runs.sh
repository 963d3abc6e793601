#!/usr/bin/env bash
# Whole updates by the Windows programs under wine through the simulated USB
# adapter: N in a row by the window program (on a virtual display, driven as
# a user would, tests/e2e/wine_update_run.sh) and N by the console flasher
# (tests/app/console/wine_flash_run.sh), each printing its result and
# transfer time, then a summary per program.
#
#   scripts/wine_adapter_runs.sh N [simulator options...]
#
# The simulator options default to a paced 38462-baud line through an
# adapter with the factory 16 ms tick and a device whose answer delay varies
# up to 20 ms per block; the port is registered with wine as that adapter's.
# Other options replace them (e.g. "--seed 1" alone: a bare pty).
#
# Expects the mingw tree built, and the native debug tree's brantelmoor-sim
# and vn_pty_modem_shim. Logs of failed runs stay in build/mingw/wine_adapter_runs.
set -uo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 1 ] && [ "$1" -gt 0 ] 2>/dev/null || { echo "usage: $0 N [simulator options...]" >&2; exit 2; }
runs=$1
shift
options=("$@")
[ ${#options[@]} -gt 0 ] || options=(--baud 38462 --adapter-tick-ms 16 --turnaround-max-ms 20)

tools=build/debug/tools
sim=$tools/brantelmoor-sim shim=$tools/wine/pty_modem_shim.so
window=build/mingw/app/brantelmoor.exe flasher=build/mingw/app/console/brantelmoor-flash.exe
image=build/mingw/resources/firmware.bin
for file in "$sim" "$shim" "$window" "$flasher" "$image"; do
  [ -e "$file" ] && continue
  echo "missing $file: build the mingw tree and the native debug tree's simulator and shim" >&2
  exit 1
done
export WINEPREFIX=$PWD/build/mingw/wineprefix WINEDEBUG=-all
[ -d "$WINEPREFIX" ] || wineboot --init >/dev/null 2>&1
logs=build/mingw/wine_adapter_runs
rm -rf "$logs"
mkdir -p "$logs"

# One update; prints "ok <transfer seconds>" or "FAIL", leaving its log.
window_once() {  # <run>
  local log=$logs/window_$1.log
  xvfb-run -a -s "-screen 0 1024x768x24" bash tests/e2e/wine_update_run.sh "$logs/window_$1" \
    "$window" "$sim" "$shim" "$image" success "${options[@]}" >"$log" 2>&1
  local code=$?
  local seconds
  seconds=$(sed -nE 's/^timing: transfer ([0-9.]+) s.*/\1/p' "$log")
  if [ $code -eq 0 ] && [ -n "$seconds" ]; then
    echo "ok $seconds"
  else
    echo "FAIL"
  fi
}
flasher_once() {  # <run>
  local log=$logs/flasher_$1.log
  bash tests/app/console/wine_flash_run.sh tools/wine/wine_serial_harness.sh "$sim" "$shim" "$flasher" 0 "$image" \
    "${options[@]}" >"$log" 2>&1
  local code=$?
  local seconds
  seconds=$(grep -m 1 '^{"command"' "$log" | sed -nE 's/.*"seconds":([0-9.]+).*/\1/p')
  if [ $code -eq 0 ] && [ -n "$seconds" ]; then
    echo "ok $seconds"
  else
    echo "FAIL"
  fi
}

echo "simulator: ${options[*]}"
for program in window flasher; do
  results=()
  for run in $(seq "$runs"); do
    result=$("${program}_once" "$run")
    results+=("$result")
    if [ "$result" = FAIL ]; then
      echo "$program run $run: FAILED (log: $logs/${program}_$run.log)"
      grep -E 'wine_update_run:|wine_flash_run:|"result"|exit code|simulator' "$logs/${program}_$run.log" | head -5 |
        sed 's/^/    /'
    else
      echo "$program run $run: ok, transfer ${result#ok } s"
      rm -rf "$logs/${program}_$run" "$logs/${program}_$run.log"
    fi
  done
  printf '%s\n' "${results[@]}" | awk -v program="$program" '
    $1 == "ok" { n++; sum += $2; if (n == 1 || $2 < min) min = $2; if ($2 > max) max = $2 }
    END {
      printf "%s: %d of %d succeeded", program, n, NR
      if (n > 0) printf "; transfer min %.2f s, mean %.2f s, max %.2f s", min, sum / n, max
      printf "\n"
    }'
done

#!/usr/bin/env bash
# Whole-update figures: the real program against the simulator, the
# 15-second wait before the success display left out.
#   - natively on the headless screen, unpaced pty: transfer time and the
#     program's CPU time (best of RUNS);
#   - natively on a paced 38462-baud line: transfer time against the line's
#     own limit of about 34.1 s;
#   - the Windows program under wine on a virtual display, unpaced pty (when
#     build/mingw holds the program and SKIP_WINE is unset).
# Expects build/release (and build/mingw for wine) to be built.
set -euo pipefail
cd "$(dirname "$0")/.."
RUNS=${RUNS:-3}
run=build/release/tools/brantelmoor-headless-run
line_limit=34.1

echo "== update, native, unpaced pty ($RUNS runs)"
for _ in $(seq "$RUNS"); do
  "$run" --short-wait --quiet | grep '^probe'
done

echo "== update, native, paced 38462-baud line"
"$run" --short-wait --quiet -- --baud 38462 | grep '^probe' | tee /tmp/vn_paced.txt
seconds=$(sed -E 's/^probe [0-9.]+ s, transfer ([0-9.]+) s,.*/\1/' /tmp/vn_paced.txt)
awk -v t="$seconds" -v limit="$line_limit" 'BEGIN { printf "transfer / line limit (%.1f s) = %.3f\n", limit, t / limit }'

exe=build/mingw/app/brantelmoor.exe
if [ -z "${SKIP_WINE:-}" ] && [ -e "$exe" ]; then
  echo "== update, Windows program under wine, unpaced pty"
  export WINEPREFIX=${WINEPREFIX:-$PWD/build/mingw/wineprefix} WINEDEBUG=-all
  [ -d "$WINEPREFIX" ] || wineboot -i >/dev/null 2>&1
  xvfb-run -a -s "-screen 0 1024x768x24" bash tests/e2e/wine_update_run.sh build/wine-bench "$exe" \
    "$PWD/build/release/tools/brantelmoor-sim" "$PWD/build/release/tools/wine/pty_modem_shim.so" \
    build/release/resources/firmware.bin success | grep -E '^(timing|wine_update_run)'
fi

# The command-line flasher: wall time of the whole command (start-up, probe,
# transfer, "PUSK" drained) and its CPU time.
measure() {  # measure <command...>: "<wall> s wall, <cpu> s CPU"
  python3 - "$@" <<'PY'
import resource, subprocess, sys, time
start = time.time()
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
used = resource.getrusage(resource.RUSAGE_CHILDREN)
print(f"{time.time() - start:.2f} s wall, {used.ru_utime + used.ru_stime:.2f} s CPU")
PY
}
flasher=build/release/app/console/brantelmoor-flash
echo "== flasher, native, unpaced pty ($RUNS runs; the simulator's CPU included)"
for _ in $(seq "$RUNS"); do measure "$flasher" flash --simulate; done
echo "== flasher, native, paced 38462-baud line"
paced=$(measure "$flasher" flash --simulate -- --baud 38462)
echo "$paced"
awk -v t="${paced%% s wall*}" -v limit="$line_limit" 'BEGIN { printf "whole command / line limit (%.1f s) = %.3f\n", limit, t / limit }'

flasher_exe=build/mingw/app/console/brantelmoor-flash.exe
if [ -z "${SKIP_WINE:-}" ] && [ -e "$flasher_exe" ]; then
  echo "== flasher, Windows console program under wine, unpaced pty"
  measure bash tools/wine/wine_serial_harness.sh --sim "$PWD/build/release/tools/brantelmoor-sim" \
    --shim "$PWD/build/release/tools/wine/pty_modem_shim.so" --sim-arg --grace-ms --sim-arg 0 -- \
    "$flasher_exe" flash COM5
fi

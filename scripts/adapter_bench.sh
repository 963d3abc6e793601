#!/usr/bin/env bash
# Whole updates through the simulated USB adapter on a paced 38462-baud
# line, and the speed figures around it:
#   - RUNS updates in a row (probe included) for each adapter tick in TICKS
#     (default 1 and 16 ms), with a device turnaround of up to
#     TURNAROUND_MS (default 20) per block, by the command-line flasher and
#     by the window program on the headless screen (PROGRAMS, default
#     "flasher window"); PARALLEL of them at a time (each on its own
#     simulated line); every failure is listed;
#   - SPEED_RUNS of `flash --simulate` on an unpaced pty beside as many
#     runs of a plain host script that frames each answer by its length
#     (scripts/host_peer.py, with Debian's python3-serial), alternating;
#   - one paced update with no adapter and one with a 1 ms tick (no
#     turnaround) against the line's own 34.08 s.
# WRITE_LOGS=1 keeps the simulator's write log (--write-log) of every failed
# update in the work folder, named after the program, tick and seed.
# Expects build/release to be built. ONLY=updates|speed runs one part.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
RUNS=${RUNS:-100}
PARALLEL=${PARALLEL:-1}
TICKS=${TICKS:-"1 16"}
TURNAROUND_MS=${TURNAROUND_MS:-20}
SPEED_RUNS=${SPEED_RUNS:-5}
ONLY=${ONLY:-}
PROGRAMS=${PROGRAMS:-"flasher window"}
flasher=build/release/app/console/brantelmoor-flash
window=build/release/tools/brantelmoor-headless-run
sim=build/release/tools/brantelmoor-sim
image=build/release/resources/firmware.bin
line_limit=34.08
# Per-run results stay in BENCH_WORK when given (one line per update).
vn_bench_work

# One update; prints "ok <transfer seconds>" or "FAIL <what it said>".
update_once() {  # update_once flasher|window <tick> <seed>
  local program=$1 tick=$2 seed=$3 out
  local options=(--baud 38462 --adapter-tick-ms "$tick" --turnaround-max-ms "$TURNAROUND_MS" --seed "$seed")
  local log="$work/writes-$program-$tick-$seed.log"
  [ -n "${WRITE_LOGS:-}" ] && options+=(--write-log "$log")
  if [ "$program" = flasher ]; then
    out=$("$flasher" flash --simulate -- "${options[@]}" 2>&1)
    if [ $? -eq 0 ] && grep -q '"crc":"BD97","pusk":true' <<<"$out"; then
      echo "ok $(sed -nE 's/^firmware written: .*, ([0-9.]+) s;.*/\1/p' <<<"$out")"
      rm -f "$log"
      return
    fi
  else
    out=$("$window" --short-wait --quiet -- "${options[@]}" 2>&1)
    if [ $? -eq 0 ] && grep -q '"crc":"BD97","pusk":true' <<<"$out"; then
      echo "ok $(sed -nE 's/^probe [0-9.]+ s, transfer ([0-9.]+) s.*/\1/p' <<<"$out")"
      rm -f "$log"
      return
    fi
  fi
  echo "FAIL $(tr '\n' ' ' <<<"$out" | tail -c 400)"
}
export -f update_once
export flasher window TURNAROUND_MS work

if [ -z "$ONLY" ] || [ "$ONLY" = updates ]; then
  for program in $PROGRAMS; do
    for tick in $TICKS; do
      echo "== $program: $RUNS updates, paced 38462-baud line, adapter tick $tick ms, turnaround up to $TURNAROUND_MS ms ($PARALLEL at a time)"
      seq "$RUNS" | xargs -P "$PARALLEL" -I{} bash -c "update_once $program $tick \$((1000 * $tick + {}))" \
        >"$work/$program-$tick.txt"
      grep '^FAIL' "$work/$program-$tick.txt" | head -n 10
      awk '$1 == "ok" { n++; sum += $2; if (min == "" || $2 < min) min = $2; if ($2 > max) max = $2 }
           $1 == "FAIL" { failed++ }
           END { printf "%d succeeded, %d failed; transfer %.2f s on average (%.2f-%.2f)\n", n, failed, n ? sum / n : 0, min, max }' \
        "$work/$program-$tick.txt"
    done
  done
fi

measure() {  # measure <command...>: wall seconds of the whole command, or FAIL
  python3 - "$@" <<'PY'
import subprocess, sys, time
start = time.time()
done = subprocess.run(sys.argv[1:], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
ok = done.returncode == 0 and '"crc":"BD97","pusk":true' in done.stdout
print(f"{time.time() - start:.2f}" if ok else "FAIL")
PY
}

if { [ -z "$ONLY" ] || [ "$ONLY" = speed ]; } && ! /usr/bin/python3 -c 'import serial' 2>/dev/null; then
  echo "the host script needs pyserial: apt-get install python3-serial"
  exit 1
fi
if [ -z "$ONLY" ] || [ "$ONLY" = speed ]; then
  echo "== unpaced pty, whole command: flash --simulate against a plain host script ($SPEED_RUNS runs each, alternating)"
  flash_times=() peer_times=()
  for _ in $(seq "$SPEED_RUNS"); do
    flash_times+=("$(measure "$flasher" flash --simulate)")
    peer_times+=("$(measure /usr/bin/python3 scripts/host_peer.py "$sim" "$image")")
  done
  echo "flash --simulate: ${flash_times[*]} s"
  echo "host script:      ${peer_times[*]} s"
  echo "== paced 38462-baud line, transfer against the line's $line_limit s"
  for tick in 0 1; do
    options=(--baud 38462)
    [ "$tick" = 0 ] || options+=(--adapter-tick-ms "$tick")
    out=$("$flasher" flash --simulate -- "${options[@]}" 2>&1)
    seconds=$(sed -nE 's/^firmware written: .*, ([0-9.]+) s;.*/\1/p' <<<"$out")
    awk -v t="${seconds:-0}" -v tick="$tick" -v limit="$line_limit" \
      'BEGIN { printf "adapter tick %s ms: transfer %.2f s = %.3f x the line\n", tick, t, t / limit }'
  done
fi

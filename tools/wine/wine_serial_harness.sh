#!/usr/bin/env bash
# Runs a Windows program under wine with a serial port COMn that is the
# device simulator's pseudo-terminal:
#
#   wine_serial_harness.sh --sim PATH --shim PATH [--port COM5]
#       [--sim-arg ARG]... -- PROGRAM.exe [ARGS...]
#
# The simulator gets the --sim-arg options (default: --echo --stay). Wine
# learns the port from HKLM\Software\Wine\Ports, but only when its server
# starts, hence the restart. When the simulator models a USB adapter
# (--sim-arg --adapter-tick-ms --sim-arg L), COMn is registered as the port
# of an FTDI adapter with that latency timer, else as a UART without a FIFO
# (wine_port_devices.sh), so that the program knows how the bytes come as
# it would on Windows. The program and the wine server run with the
# pty shim preloaded, without which wine cancels every wait for line events
# on a pty and lets a second opener share the port.
#
# Uses WINEPREFIX as given. Restarting the server ends every other program
# of that prefix, so nothing else may use the prefix meanwhile.
#
# Exit code: the program's; 77 when the rig is incomplete (skip); 2 for a
# usage error; 1 when the rig could not be set up.
set -uo pipefail

readonly kSkip=77
# shellcheck source=wine_port_devices.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine_port_devices.sh"

usage() {
  echo "usage: $0 --sim PATH --shim PATH [--port COMn] [--sim-arg ARG]... -- PROGRAM [ARGS...]" >&2
  exit 2
}

sim=""
shim=""
port="COM5"
sim_args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --sim) [ $# -ge 2 ] || usage; sim=$2; shift 2 ;;
    --shim) [ $# -ge 2 ] || usage; shim=$2; shift 2 ;;
    --port) [ $# -ge 2 ] || usage; port=$2; shift 2 ;;
    --sim-arg) [ $# -ge 2 ] || usage; sim_args+=("$2"); shift 2 ;;
    --) shift; break ;;
    *) usage ;;
  esac
done
[ $# -ge 1 ] && [ -n "$sim" ] && [ -n "$shim" ] || usage
[ ${#sim_args[@]} -gt 0 ] || sim_args=(--echo --stay)

for tool in "$sim" "$shim"; do
  if [ ! -e "$tool" ]; then
    echo "SKIP: $tool is missing; build the native tree first (targets brantelmoor-sim and vn_pty_modem_shim)"
    exit $kSkip
  fi
done
for command in wine wineserver; do
  if ! command -v "$command" >/dev/null; then
    echo "SKIP: $command is not installed"
    exit $kSkip
  fi
done

export WINEDEBUG=-all
work=$(mktemp -d)
sim_pid=""
latency=$(ftdi_latency_of_sim_args "${sim_args[@]}")
registered=""

cleanup() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null
    wait "$sim_pid" 2>/dev/null
  fi
  [ -n "$registered" ] && wine_forget_port_devices
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# A server left over from an earlier run would keep its old port list.
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null

# The simulator, too, ends by itself (after ten minutes without a byte).
"$sim" --timeout 600 "${sim_args[@]}" >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!

pty=""
for _ in $(seq 100); do
  pty=$(sed -n '1s/^PTY //p' "$work/sim.out")
  [ -n "$pty" ] && break
  if ! kill -0 "$sim_pid" 2>/dev/null; then break; fi
  sleep 0.1
done
if [ -z "$pty" ]; then
  echo "the simulator printed no PTY line" >&2
  cat "$work/sim.err" >&2
  exit 1
fi

if ! wine reg add 'HKLM\Software\Wine\Ports' /v "$port" /d "$pty" /f >"$work/reg.out" 2>&1; then
  echo "could not register $port as $pty" >&2
  cat "$work/reg.out" >&2
  exit 1
fi
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
# Started here so that what it prints when it is ended goes to a file; the
# shim in the server keeps the port exclusive. It lingers a while after its
# last client, for the program to connect, and ends by itself should this
# script be killed without a chance to clean up.
if ! LD_PRELOAD="$shim${LD_PRELOAD:+:$LD_PRELOAD}" wineserver -p30 >"$work/wineserver.log" 2>&1; then
  echo "could not start the wine server" >&2
  exit 1
fi

registered=yes
if [ -n "$latency" ]; then
  hardware="an FTDI adapter with a latency timer of $latency ms"
  wine_port_as_ftdi "$port" "$latency"
else
  hardware="a UART without a FIFO"
  wine_port_as_uart "$port" 1
fi || { echo "could not register $port as $hardware" >&2; exit 1; }

echo "$port is $pty, as $hardware (simulator: ${sim_args[*]})"
# In the background, so that a signal to this script is handled at once.
LD_PRELOAD="$shim${LD_PRELOAD:+:$LD_PRELOAD}" wine "$@" &
wait $!

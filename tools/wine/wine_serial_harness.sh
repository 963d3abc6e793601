#!/usr/bin/env bash
# Runs a Windows program under wine with serial ports COMn that are device
# simulators' pseudo-terminals:
#
#   wine_serial_harness.sh --sim PATH --shim PATH
#       [--port COMn [--sim-arg ARG]...]... -- PROGRAM.exe [ARGS...]
#
# Every --port but the first adds a simulator of its own, which gets the
# --sim-arg options that follow it; the first port (COM5 when none is
# named) gets those before the second --port, wherever they stand. A
# simulator without options gets --echo --stay. Wine learns the ports from
# HKLM\Software\Wine\Ports, but only when its server starts, hence the
# restart. When a simulator models a USB adapter (--sim-arg
# --adapter-tick-ms --sim-arg L), its COMn is registered as the port of an
# FTDI adapter with that latency timer, else as a UART without a FIFO
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
  echo "usage: $0 --sim PATH --shim PATH [--port COMn [--sim-arg ARG]...]... -- PROGRAM [ARGS...]" >&2
  exit 2
}

sim=""
shim=""
# Device i is ports[i] with the sim_args[first[i]] and the count[i] after it.
ports=()
first=(0)
count=(0)
sim_args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --sim) [ $# -ge 2 ] || usage; sim=$2; shift 2 ;;
    --shim) [ $# -ge 2 ] || usage; shim=$2; shift 2 ;;
    --port)
      [ $# -ge 2 ] || usage
      if [ ${#ports[@]} -gt 0 ]; then
        first+=(${#sim_args[@]})
        count+=(0)
      fi
      ports+=("$2")
      shift 2
      ;;
    --sim-arg) [ $# -ge 2 ] || usage; sim_args+=("$2"); ((++count[-1])); shift 2 ;;
    --) shift; break ;;
    *) usage ;;
  esac
done
[ $# -ge 1 ] && [ -n "$sim" ] && [ -n "$shim" ] || usage
[ ${#ports[@]} -gt 0 ] || ports=(COM5)

# Sets args to device $1's simulator options.
device_args() {
  args=("${sim_args[@]:${first[$1]}:${count[$1]}}")
  [ ${#args[@]} -gt 0 ] || args=(--echo --stay)
}

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
sim_pids=()
registered=""

cleanup() {
  local pid port
  for pid in "${sim_pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${sim_pids[@]}"; do wait "$pid" 2>/dev/null; done
  if [ -n "$registered" ]; then
    wine_forget_port_devices
    # A port left in the map would lead a later program to a pty that may
    # by then be someone else's.
    for port in "${ports[@]}"; do
      wine reg delete 'HKLM\Software\Wine\Ports' /v "$port" /f >/dev/null 2>&1
    done
  fi
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

# The simulators, too, end by themselves (after ten minutes without a byte).
for i in "${!ports[@]}"; do
  device_args "$i"
  "$sim" --timeout 600 "${args[@]}" >"$work/sim$i.out" 2>"$work/sim$i.err" &
  sim_pids+=($!)
done

ptys=()
for i in "${!ports[@]}"; do
  pty=""
  for _ in $(seq 100); do
    pty=$(sed -n '1s/^PTY //p' "$work/sim$i.out")
    [ -n "$pty" ] && break
    if ! kill -0 "${sim_pids[$i]}" 2>/dev/null; then break; fi
    sleep 0.1
  done
  if [ -z "$pty" ]; then
    echo "the simulator for ${ports[$i]} printed no PTY line" >&2
    cat "$work/sim$i.err" >&2
    exit 1
  fi
  ptys+=("$pty")
done

registered=yes
for i in "${!ports[@]}"; do
  if ! wine reg add 'HKLM\Software\Wine\Ports' /v "${ports[$i]}" /d "${ptys[$i]}" /f >"$work/reg.out" 2>&1; then
    echo "could not register ${ports[$i]} as ${ptys[$i]}" >&2
    cat "$work/reg.out" >&2
    exit 1
  fi
done
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
# Started here so that what it prints when it is ended goes to a file; the
# shim in the server keeps the ports exclusive. It lingers a while after its
# last client, for the program to connect, and ends by itself should this
# script be killed without a chance to clean up.
if ! LD_PRELOAD="$shim${LD_PRELOAD:+:$LD_PRELOAD}" wineserver -p30 >"$work/wineserver.log" 2>&1; then
  echo "could not start the wine server" >&2
  exit 1
fi

for i in "${!ports[@]}"; do
  port=${ports[$i]}
  device_args "$i"
  latency=$(ftdi_latency_of_sim_args "${args[@]}")
  if [ -n "$latency" ]; then
    hardware="an FTDI adapter with a latency timer of $latency ms"
    wine_port_as_ftdi "$port" "$latency"
  else
    hardware="a UART without a FIFO"
    wine_port_as_uart "$port" 1
  fi || { echo "could not register $port as $hardware" >&2; exit 1; }
  echo "$port is ${ptys[$i]}, as $hardware (simulator: ${args[*]})"
done

# In the background, so that a signal to this script is handled at once.
LD_PRELOAD="$shim${LD_PRELOAD:+:$LD_PRELOAD}" wine "$@" &
wait $!

# Sourced by the wine test scripts: tells the Windows program what
# hardware stands behind a COM port that wine maps onto a pseudo-terminal,
# as the drivers register it on Windows. Wine lists every port in the serial
# port map as \Device\SerialN, a UART, and keeps no device key for it:
#
# - wine_port_as_uart gives the port the device key of a standard PC serial
#   port (Enum\ACPI\PNP0501) with a FIFO trigger level (a pty has no FIFO:
#   1; without a key the program assumes a deep one and waits longer);
# - wine_port_as_ftdi renames its value in the map \Device\VCPn (n: the
#   port's number) and gives it an FTDI adapter's device key
#   (Enum\FTDIBUS) with a latency timer.
#
# Each port has device keys of its own (instance VNSIM<port>), so that
# several ports can stand for several devices at once.
#
# Needs a running wine server of the prefix: the port map is volatile and
# filled in by wine's mount manager when the server starts.

readonly kWinePortMap='HKLM\HARDWARE\DEVICEMAP\SERIALCOMM'
readonly kWineUartDevices='HKLM\SYSTEM\CurrentControlSet\Enum\ACPI\PNP0501'
readonly kWineFtdiDevices='HKLM\SYSTEM\CurrentControlSet\Enum\FTDIBUS'

wine_uart_device_of() { echo "$kWineUartDevices\\VNSIM${1^^}"; }
wine_ftdi_device_of() { echo "$kWineFtdiDevices\\VID_0403+PID_6001+VNSIM${1^^}"; }

# The port map's string values, one "name data" a line, in its own order.
wine_port_map() {
  wine reg query "$kWinePortMap" 2>/dev/null | tr -d '\r' | awk '$2 == "REG_SZ" { print $1, $3 }'
}

wine_port_as_uart() {  # <COMn> <FIFO trigger level>
  local parameters
  parameters="$(wine_uart_device_of "$1")\\Device Parameters"
  wine reg add "$parameters" /v PortName /d "$1" /f >/dev/null 2>&1 &&
    wine reg add "$parameters" /v RxFIFO /t REG_DWORD /d "$2" /f >/dev/null 2>&1
}

# With "alone", the port is left the only one in the map: wine lists the
# map's values sorted by name, and \Device\VCPn comes after the
# \Device\SerialN of every other port.
wine_port_as_ftdi() {  # <COMn> <latency timer ms> [alone]
  local port=$1 latency=$2 alone=${3:-} map="" name data parameters
  # The mount manager may still be listing the ports.
  for _ in $(seq 50); do
    map=$(wine_port_map)
    awk -v port="$port" 'toupper($2) == toupper(port) { found = 1 } END { exit !found }' <<<"$map" && break
    map=""
    sleep 0.2
  done
  [ -n "$map" ] || { echo "wine lists no $port in its port map" >&2; return 1; }
  while read -r name data; do
    [ "${data^^}" = "${port^^}" ] || [ "$alone" = alone ] || continue
    wine reg delete "$kWinePortMap" /v "$name" /f >/dev/null 2>&1 || return 1
  done <<<"$map"
  parameters="$(wine_ftdi_device_of "$port")\\0000\\Device Parameters"
  wine reg add "$kWinePortMap" /v "\\Device\\VCP${port//[^0-9]/}" /d "$port" /f >/dev/null 2>&1 &&
    wine reg add "$parameters" /v PortName /d "$port" /f >/dev/null 2>&1 &&
    wine reg add "$parameters" /v LatencyTimer /t REG_DWORD /d "$latency" /f >/dev/null 2>&1
}

# The device keys outlive the server; the port map does not. Every port's
# keys go, those of an earlier run's ports too.
wine_forget_port_devices() {
  local key
  wine reg query "$kWineUartDevices" 2>/dev/null | tr -d '\r' | grep '\\VNSIM[^\\]*$' |
    while read -r key; do wine reg delete "$key" /f </dev/null >/dev/null 2>&1; done
  wine reg query "$kWineFtdiDevices" 2>/dev/null | tr -d '\r' | grep '+VNSIM[^\\]*$' |
    while read -r key; do wine reg delete "$key" /f </dev/null >/dev/null 2>&1; done
  return 0
}

# The latency timer (whole ms, rounded up) of the adapter that the
# simulator's options ask it to model; nothing when they ask for none.
ftdi_latency_of_sim_args() {  # <simulator options...>
  while [ $# -gt 0 ]; do
    if [ "$1" = --adapter-tick-ms ] && [ $# -ge 2 ]; then
      awk -v tick="$2" 'BEGIN { ms = int(tick); if (ms < tick) ms++; print ms }'
      return
    fi
    shift
  done
}

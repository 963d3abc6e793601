#!/usr/bin/env bash
# A whole firmware update with the real Windows program under wine, on the
# current X display, against the device simulator as COM1, driven with
# xdotool as a user would: pick COM1, press "Записать", wait for the outcome,
# press "OK". Then the simulator's summary says what the device received.
#
#   wine_update_run.sh <folder> <brantelmoor.exe> <simulator> <pty shim>
#       <expected image> <success|failure> [simulator fault options...]
#
# Pictures of the screen (after the probe, at the outcome) go to <folder>.
# When the simulator models a USB adapter (--adapter-tick-ms L), COM1 is
# registered as the port of an FTDI adapter with that latency timer, else as
# a UART without a FIFO (tools/wine/wine_port_devices.sh).
set -uo pipefail
folder=$1 exe=$2 sim=$3 shim=$4 image=$5 outcome=$6
shift 6
# shellcheck source=../../tools/wine/wine_port_devices.sh
source "$(dirname "$0")/../../tools/wine/wine_port_devices.sh"
latency=$(ftdi_latency_of_sim_args "$@")
mkdir -p "$folder"
rm -f "$folder"/*.png "$folder"/received.bin "$folder"/sim.out

for tool in "$sim" "$shim"; do
  [ -e "$tool" ] || { echo "SKIP: $tool is missing; build the native debug tree first"; exit 77; }
done

export WINEDEBUG=-all
sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  wine_forget_port_devices
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  # Give the prefix its default ports back for the other wine tests.
  wine reg delete 'HKLM\Software\Wine\Ports' /f >/dev/null 2>&1
  wine reg delete 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /f >/dev/null 2>&1
  rm -f "$WINEPREFIX"/dosdevices/com*
  wineserver -k 2>/dev/null
}
trap cleanup EXIT

fail() {
  echo "wine_update_run: $*" >&2
  import -window root "$folder/failure.png" 2>/dev/null
  echo "simulator said: $(cat "$folder/sim.out" 2>/dev/null)" >&2
  exit 1
}

# Client-area offset of the form under wine without a window manager:
# frame 3 pixels, caption 18 pixels.
readonly kClientX=3 kClientY=21
click() {  # click <window> <client x> <client y>
  xdotool mousemove --window "$1" $(($2 + kClientX)) $(($3 + kClientY)) click 1
}

find_form() {  # the largest window called "Brantelmoor bootloader"
  local best="" area=0
  for id in $(xdotool search --name '^Brantelmoor bootloader$' 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" || continue
    [ $((WIDTH * HEIGHT)) -gt "$area" ] && { best=$id; area=$((WIDTH * HEIGHT)); }
  done
  [ "$area" -gt 1 ] && echo "$best"
}

# The simulator's JSON summary (a simulator that draws random numbers names
# its seed on a line before it).
summary() { grep -m 1 '^{' "$folder/sim.out"; }

# CPU seconds (user + system) a process has used so far; 0 when it is gone.
cpu_seconds() {
  local pid=$1
  [ -n "$pid" ] && [ -r "/proc/$pid/stat" ] || { echo 0; return; }
  awk -v hz="$(getconf CLK_TCK)" '{ sub(/^.*\) /, ""); printf "%.2f", ($12 + $13) / hz }' "/proc/$pid/stat"
}
now() { date +%s.%N; }

wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

"$sim" --timeout 600 --grace-ms 300 --save "$folder/received.bin" "$@" >"$folder/sim.out" 2>&1 &
sim_pid=$!
pty=""
for _ in $(seq 100); do
  pty=$(sed -n '1s/^PTY //p' "$folder/sim.out")
  [ -n "$pty" ] && break
  sleep 0.1
done
[ -n "$pty" ] || fail "the simulator printed no PTY line"

# The device is COM1, the first port wine lists; the machine's own serial
# devices would take the first free names, so COM2..COM9 are claimed empty
# (an empty value takes a port away) and what earlier runs left is cleared.
wine reg delete 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /f >/dev/null 2>&1
rm -f "$WINEPREFIX"/dosdevices/com*
wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$pty" /f >/dev/null 2>&1 || fail "cannot register COM1"
for n in 2 3 4 5 6 7 8 9; do
  wine reg add 'HKLM\Software\Wine\Ports' /v "COM$n" /d "" /f >/dev/null 2>&1
done
wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
LD_PRELOAD="$shim" wineserver -p30 >/dev/null 2>&1 || fail "cannot start the wine server"
if [ -n "$latency" ]; then
  wine_port_as_ftdi COM1 "$latency" alone || fail "cannot register COM1 as an FTDI adapter's port"
else
  wine_port_as_uart COM1 1 || fail "cannot register COM1 as a UART's port"
fi
LD_PRELOAD="$shim" wine "$exe" &

form=""
for _ in $(seq 300); do form=$(find_form) && break; sleep 0.1; done
[ -n "$form" ] || fail "the window did not appear"
sleep 1

# The port list: its drop-down button, then the first (only) item.
click "$form" 88 22
sleep 0.5
click "$form" 30 43
sleep 2  # probe: VERS and the reply
import -window root "$folder/probed.png"
[ "$(sed -n '1p' "$folder/sim.out" | cut -c1-3)" = "PTY" ] || fail "simulator output lost"

program_pid=$(pgrep -x brantelmoor.exe | head -n 1)
server_pid=$(pgrep -x 'wineserver(64)?' | head -n 1)
program_cpu=$(cpu_seconds "$program_pid") server_cpu=$(cpu_seconds "$server_pid")
started=$(now)
click "$form" 47 65  # "Записать"
if [ "$outcome" = success ]; then
  for _ in $(seq 3000); do [ -n "$(summary)" ] && break; sleep 0.05; done
  [ -n "$(summary)" ] || fail "the device never got the whole image and PUSK"
  # The summary comes after PUSK and the simulator's 300 ms grace.
  awk -v a="$started" -v b="$(now)" -v p0="$program_cpu" -v p1="$(cpu_seconds "$program_pid")" \
      -v s0="$server_cpu" -v s1="$(cpu_seconds "$server_pid")" \
      'BEGIN { printf "timing: transfer %.2f s, program CPU %.2f s, wineserver CPU %.2f s\n", b - a - 0.3, p1 - p0, s1 - s0 }'
  sleep 17  # the program's 15-second wait before the success display
else
  sleep 5  # the failure is shown at once (a wrong answer) or after 3 s (silence)
fi
import -window root "$folder/outcome.png"

# What the picture shows: the failure display has the red error picture at
# (145,3) of the client area, the success display has none there and its
# text in the top band.
eval "$(xdotool getwindowgeometry --shell "$form")"
count_pixels() {  # count_pixels <w> <h> <client x> <client y> <fx condition>
  convert "$folder/outcome.png" -crop "$1x$2+$((X + kClientX + $3))+$((Y + kClientY + $4))" +repage \
    -fx "$5" -format '%[fx:round(mean*w*h)]' info:
}
red=$(count_pixels 15 14 145 3 'r>0.6 && g<0.4 && b<0.4')
dark=$(count_pixels 492 49 5 0 'r<0.3 && g<0.3 && b<0.3')
echo "outcome picture: $red red pixels where the error picture goes, $dark dark pixels in the text band"
if [ "$outcome" = success ]; then
  [ "$red" -eq 0 ] && [ "$dark" -gt 200 ] || fail "the picture does not show the success text"
else
  [ "$red" -gt 20 ] || fail "the picture does not show the failure display"
fi

click "$form" 302 75  # "OK"
for _ in $(seq 300); do find_form >/dev/null || break; sleep 0.1; done
find_form >/dev/null && fail "\"OK\" did not close the program"
for _ in $(seq 100); do [ -n "$(summary)" ] && break; sleep 0.1; done

line=$(summary)
echo "simulator: $line"
if [ "$outcome" = success ]; then
  echo "$line" | grep -q '"bytes":130048,"blocks":508,"crc":"BD97","pusk":true' || fail "incomplete transfer"
  cmp -s "$folder/received.bin" "$image" || fail "the device received a different image"
else
  echo "$line" | grep -q '"pusk":false' || fail "a failed transfer sent PUSK"
fi
echo "wine_update_run: $outcome path as expected; pictures in $folder"

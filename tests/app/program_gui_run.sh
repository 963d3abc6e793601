#!/usr/bin/env bash
# Drives the real program under wine on the current X display as a user
# would: it must show its window with the caption "Brantelmoor bootloader"
# at its place, close from the caption's close box, and with "/iv" show only
# the information box. Pictures of the screen go to <folder>.
#
#   program_gui_run.sh <folder> <brantelmoor.exe>
set -u
folder=$1
exe=$2
mkdir -p "$folder"
rm -f "$folder"/*.png

fail() {
  echo "program_gui_run: $*" >&2
  import -window root "$folder/failure.png" 2>/dev/null
  wineserver -k 2>/dev/null
  exit 1
}

# The largest visible window with this exact title (wine also gives the
# application window the caption, but keeps it 1 x 1).
find_window() {
  local best="" best_area=0
  for id in $(xdotool search --name "^$1\$" 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" || continue
    if [ $((WIDTH * HEIGHT)) -gt "$best_area" ]; then
      best=$id
      best_area=$((WIDTH * HEIGHT))
    fi
  done
  [ "$best_area" -gt 1 ] && echo "$best"
}

wait_for_window() {
  for _ in $(seq 1 300); do
    local id
    id=$(find_window "$1") && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

wait_until_gone() {
  for _ in $(seq 1 300); do
    find_window "$1" >/dev/null || return 0
    sleep 0.1
  done
  return 1
}

# Without a window manager wine would wait for one at every hidden window.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

wine "$exe" &
form=$(wait_for_window "Brantelmoor bootloader") || fail "the window did not appear"
eval "$(xdotool getwindowgeometry --shell "$form")"
[ "$X" -eq 200 ] && [ "$Y" -eq 200 ] && [ "$WIDTH" -eq 616 ] && [ "$HEIGHT" -eq 171 ] ||
  fail "window at $X,$Y size ${WIDTH}x$HEIGHT, expected 200,200 616x171"
sleep 0.5  # let the controls paint
import -window root "$folder/program.png" || fail "no picture of the screen"
# The caption's close box sits at its right end.
xdotool mousemove --window "$form" $((WIDTH - 12)) 11 click 1
wait_until_gone "Brantelmoor bootloader" || fail "the close box did not close the program"
wineserver -w

wine "$exe" /iv &
box=$(wait_for_window "Vornik Info") || fail "no information box for /iv"
sleep 0.3
import -window root "$folder/info_box.png" || fail "no picture of the screen"
find_window "Brantelmoor bootloader" >/dev/null && fail "/iv built the program's window"
eval "$(xdotool getwindowgeometry --shell "$box")"
xdotool mousemove --window "$box" $((WIDTH / 2)) $((HEIGHT - 23)) click 1  # its OK button
wait_until_gone "Vornik Info" || fail "the information box did not close"
wineserver -w
echo "program_gui_run: window, close box and /iv work; pictures in $folder"

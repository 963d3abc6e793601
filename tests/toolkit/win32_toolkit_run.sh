#!/usr/bin/env bash
# Runs the Win32 toolkit tests under wine on the current X display and,
# whenever the tests ask for it by creating <folder>/ready, saves a picture
# of the whole screen as <folder>/screen.png and answers with
# <folder>/taken. The tests learn the folder from VN_SCREENSHOT_DIR. Exits
# with the tests' status.
#
#   win32_toolkit_run.sh <folder> <tests.exe> [<gtest argument>...]
set -u
folder=$1
shift
mkdir -p "$folder"
rm -f "$folder/ready" "$folder/taken" "$folder/screen.png"
export VN_SCREENSHOT_DIR="$folder"

# Without a window manager on the virtual display, wine would wait two
# seconds for one at every window it hides; unmanaged windows need none.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

wine "$@" &
tests_pid=$!
while kill -0 "$tests_pid" 2>/dev/null; do
  if [ -e "$folder/ready" ]; then
    import -window root "$folder/screen.png" || echo "win32_toolkit_run: no picture taken" >&2
    rm -f "$folder/ready"
    touch "$folder/taken"
  fi
  sleep 0.2
done
wait "$tests_pid"

#!/usr/bin/env bash
# The window program's whole update against the simulated device, printing
# what happens and the result. With an X display (DISPLAY set and
# answering) the Windows program runs under wine and its real window is
# driven on that display; otherwise the native program runs on the headless
# screen. Installs what is missing first.
#   HEADLESS=1 scripts/window_demo.sh     the headless run even on a desktop
#   scripts/window_demo.sh -- --wrong-crc 3   a device that fails
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
vn_install_missing "${VN_TEST_PACKAGES[@]}"

[ "${1:-}" = "--" ] && shift
native_targets=(brantelmoor-headless-run brantelmoor-sim vn_pty_modem_shim)
echo "== build: native program and device simulator"
mkdir -p build
{ cmake --preset release && cmake --build --preset release --target "${native_targets[@]}"; } >build/run-release.log 2>&1 ||
  { tail -n 40 build/run-release.log; exit 1; }
tools=$PWD/build/release/tools

if [ -z "${HEADLESS:-}" ] && [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
  echo "== build: Windows program"
  { cmake --preset mingw && cmake --build --preset mingw --target brantelmoor; } >build/run-mingw.log 2>&1 ||
    { tail -n 40 build/run-mingw.log; exit 1; }
  echo "== update: the Windows program under wine on $DISPLAY"
  export WINEPREFIX=${WINEPREFIX:-$PWD/build/mingw/wineprefix} WINEDEBUG=-all
  [ -d "$WINEPREFIX" ] || wineboot -i >/dev/null 2>&1
  # A device that spoils the upload makes the failure display the expected
  # outcome (probe faults need the headless run: no window path for them).
  outcome=success
  for option in "$@"; do
    case $option in
      --wrong-crc | --swap-crc | --trailing-cr | --split-answer | --silent-from | --early-fz | --stray-after-probe) outcome=failure ;;
    esac
  done
  exec bash tests/e2e/wine_update_run.sh build/run-wine build/mingw/app/brantelmoor.exe \
    "$tools/brantelmoor-sim" "$tools/wine/pty_modem_shim.so" build/release/resources/firmware.bin "$outcome" "$@"
fi

echo "== update: the native program on the headless screen"
exec "$tools/brantelmoor-headless-run" -- "$@"

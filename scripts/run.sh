#!/usr/bin/env bash
# Installs what is needed, builds Velodusk.exe and its logo (not the tests) and
# runs it under Wine, in a Wine virtual desktop (so the tray icon and the global
# hot key work) on $DISPLAY, or on a private Xvfb when there is no display.
# Ctrl+C stops it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh exe

. scripts/wine-env.sh build/win
velodusk_wine_setup
trap velodusk_wine_teardown EXIT
if [ -n "${velodusk_xvfb_pid:-}" ]; then
  echo "Velodusk runs on the private display $DISPLAY (no window of yours shows it)."
  echo "  see it:  DISPLAY=$DISPLAY import -window root velodusk.png"
  echo "  stop it: Ctrl+C here"
fi
cd build/win/bin
echo "settings file: $(pwd)/Velodusk.ini (written by the settings dialog)"
wine explorer /desktop=Velodusk,1024x768 Velodusk.exe

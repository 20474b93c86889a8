#!/usr/bin/env bash
# Regenerates the README's pictures in docs/ (main window, tray menu, settings
# dialog, About box) from the real exe under Wine on a private Xvfb.
# Usage: scripts/screenshots.sh [--dpi N]   (e.g. --dpi 144: the -144 pictures)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh exe
cmake --build build/win --target VeloduskProbe
. scripts/wine-env.sh build/win
VELODUSK_XVFB=1 velodusk_wine_setup
trap velodusk_wine_teardown EXIT
python3 scripts/screenshots.py --exe build/win/bin/Velodusk.exe --probe build/win/bin/VeloduskProbe.exe \
  --work build/win/screenshots --out docs "$@"

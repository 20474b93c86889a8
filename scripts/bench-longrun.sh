#!/usr/bin/env bash
# Long-run soundness of Velodusk.exe under Wine: object counts across show/hide,
# tray-menu and hot-key series, and idle CPU time against a minimal tray
# program. Options pass through to bench/longrun.py (e.g. --shows 100 --idle 60).
# Results: stdout and build/win/bench/longrun/longrun.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh win >/dev/null
. scripts/wine-env.sh build/win
VELODUSK_XVFB=1 velodusk_wine_setup
trap velodusk_wine_teardown EXIT
python3 bench/longrun.py --exe build/win/bin/Velodusk.exe --probe build/win/bin/VeloduskProbe.exe \
  --baseline build/win/TrayBaseline.exe --work build/win/bench/longrun "$@"

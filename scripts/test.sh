#!/usr/bin/env bash
# Installs what is needed, builds both targets and runs every test: native unit
# tests under ASan/UBSan, the Windows tests and end-to-end tests under Wine + Xvfb,
# and a short fuzzing run of the GIF scanner.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh all

echo "== native tests"
(cd build/native && ctest --output-on-failure -j"$(nproc 2>/dev/null || echo 2)")

echo "== Windows tests under Wine"
. scripts/wine-env.sh build/win
# A private display, so that input sent by the tests never reaches a real desktop.
VELODUSK_XVFB=1 velodusk_wine_setup
if velodusk_emulated; then echo "32-bit side: under qemu-user"; else echo "32-bit side: native"; fi
trap velodusk_wine_teardown EXIT
(cd build/win && ctest --output-on-failure)
velodusk_wine_teardown
trap - EXIT

echo "== fuzzing smoke run"
bash scripts/fuzz-gif.sh 20
echo "all tests passed"

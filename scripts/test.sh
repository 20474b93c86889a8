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
# The tests that wait out whole minutes (idleness, a timed block) run beside the
# rest, on a display, a prefix and a Wine server of their own: input and hot keys
# on one desktop never reach the other. Both halves run to the end; either fails the run.
side='^e2e_(idle|input_block)$'
side_log=build/win/side-tests.log
(
  unset DISPLAY
  export VELODUSK_WINE_RUN=side
  . scripts/wine-env.sh build/win
  VELODUSK_XVFB=1 velodusk_wine_setup
  trap velodusk_wine_teardown EXIT
  cd build/win && ctest --output-on-failure -R "$side"
) >"$side_log" 2>&1 &
side_pid=$!
status=0
(cd build/win && ctest --output-on-failure -E "$side") || status=$?
wait "$side_pid" || status=$?
echo "== Windows tests beside them (${side})"
cat "$side_log"
velodusk_wine_teardown
trap - EXIT
[ "$status" = 0 ] || exit "$status"

echo "== fuzzing smoke run"
bash scripts/fuzz-gif.sh 20
echo "all tests passed"

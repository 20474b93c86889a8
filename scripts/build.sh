#!/usr/bin/env bash
# Builds Velodusk.exe (32-bit Windows, build/win/bin/Velodusk.exe) and the native
# build of the portable code with its tests under ASan/UBSan (build/native).
# Usage: scripts/build.sh [win|native|all|exe]   (default all; exe: only the exe and its logo)
set -euo pipefail
cd "$(dirname "$0")/.."
what=${1:-all}
jobs=$(nproc 2>/dev/null || echo 2)

if [ "$what" = all ] || [ "$what" = win ] || [ "$what" = exe ]; then
  cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELODUSK_TESTS=ON >/dev/null
  # The exe alone (the logo is built with it) leaves the test programs unbuilt.
  if [ "$what" = exe ]; then target=(--target Velodusk); else target=(); fi
  cmake --build build/win -j"$jobs" "${target[@]}"
  echo "built: $(pwd)/build/win/bin/Velodusk.exe"
fi
if [ "$what" = all ] || [ "$what" = native ]; then
  cmake -S . -B build/native -DVELODUSK_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build/native -j"$jobs"
fi

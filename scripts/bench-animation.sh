#!/usr/bin/env bash
# Benchmarks the logo animation under Wine: the program's own logo redrawn at
# 20 frames per second (300 frames) and at 10 frames per second (200 frames),
# each reporting the worker's CPU time per frame, the process's share of one
# core and the frame-period error (mean and worst).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh win >/dev/null
out=build/win/bench
mkdir -p "$out"
python3 scripts/make-logo.py "$out/logo-20fps.gif" --delay 5
python3 scripts/make-logo.py "$out/logo-10fps.gif" --delay 10
. scripts/wine-env.sh build/win
VELODUSK_XVFB=1 velodusk_wine_setup
trap velodusk_wine_teardown EXIT
wine build/win/AnimationBench.exe "$out/logo-20fps.gif" 300
wine build/win/AnimationBench.exe "$out/logo-10fps.gif" 200

#!/usr/bin/env bash
# Builds the GIF scanner's libFuzzer target with clang into build/fuzz and runs
# it for the given number of seconds (default 20, the test command's smoke
# run; give e.g. 600 for a real session). Extra arguments go to libFuzzer.
# The committed seeds in fuzz/corpus stay untouched; what the run finds grows
# build/fuzz/corpus. A crash leaves its input in build/fuzz/ and fails.
set -euo pipefail

seconds=${1:-20}
shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/fuzz
mkdir -p "$out/corpus"

clang++-14 -std=c++17 -g -O1 -fno-omit-frame-pointer \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -Wall -Wextra -Werror \
  -I"$root/picture" -I"$root/tests/picture" \
  "$root/fuzz/GifScannerFuzzer.cpp" \
  "$root/tests/picture/FrameSplit.cpp" \
  "$root/picture/GifScanner.cpp" \
  "$root/picture/native/GifFrameMemory.cpp" \
  -o "$out/gif_scanner_fuzzer"

cd "$out"
./gif_scanner_fuzzer -max_total_time="$seconds" -max_len=8192 -timeout=10 \
  -print_final_stats=1 "$@" corpus "$root/fuzz/corpus"

#!/usr/bin/env bash
# Benchmarks the GIF scanner against giflib: generates a large animated GIF
# (320 frames of noise, about 8 MB) under build/bench once, builds the
# benchmark natively in Release and prints each time and the two ratios:
# giflib's record walk over CountFrames, and the extraction loop over a plain
# copy of the same bytes. Ratios use CPU time, which another process on the
# machine disturbs less than wall time. Extra arguments go to the benchmark.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/bench
mkdir -p "$out"
gif=$out/big.gif

if [[ ! -s $gif ]]; then
  convert=$(command -v convert-im6.q16 || command -v convert)
  # Twenty noise frames are slow enough to make; sixteen copies of them
  # give the size, and the scanner treats a copy like any other frame.
  "$convert" -size 160x120 $(printf 'xc: %.0s' $(seq 20)) -seed 9 +noise Random \
    -delay 4 -loop 0 "$out/base.gif"
  copies=()
  for _ in $(seq 16); do copies+=("$out/base.gif"); done
  gifsicle --merge "${copies[@]}" -o "$gif"
fi

cmake -S "$root/bench" -B "$out/cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out/cmake" -j2 >/dev/null
"$out/cmake/GifScannerBench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_color=false "$@" "$gif"

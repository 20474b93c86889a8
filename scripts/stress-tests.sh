#!/usr/bin/env bash
# Runs the Windows tests and the end-to-end tests N times in a row, starting on a
# fresh Wine prefix, and prints "N passed, M failed" per test. A test that is not
# stable under repetition fails here.
# Usage: scripts/stress-tests.sh [N]   (default 5; builds the Windows side first)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-5}
bash scripts/build.sh win >/dev/null

. scripts/wine-env.sh build/win
VELODUSK_XVFB=1 velodusk_wine_setup
if velodusk_emulated; then echo "32-bit side: under qemu-user"; else echo "32-bit side: native"; fi
trap velodusk_wine_teardown EXIT

logs=build/win/stress
rm -rf "$logs" && mkdir -p "$logs"
for i in $(seq "$rounds"); do
  start=$(date +%s)
  (cd build/win && ctest --output-on-failure) >"$logs/round-$i.log" 2>&1 || true
  echo "round $i: $(grep -c ' Passed ' "$logs/round-$i.log" || true) passed," \
    "$(grep -cE '\*\*\*|Not Run' "$logs/round-$i.log" || true) failed, $(( $(date +%s) - start )) s"
done

# ctest's result lines: "1/9 Test  #5: e2e_start_hidden ....   Passed   6.94 sec"
cat "$logs"/round-*.log | python3 -c '
import re, sys
counts = {}
for line in sys.stdin:
    m = re.search(r"Test +#\d+: (\S+) \.*\s*(\S.*?)\s+[\d.]+ sec", line)
    if m:
        ok = m.group(2) == "Passed"
        c = counts.setdefault(m.group(1), [0, 0])
        c[0 if ok else 1] += 1
for name, (ok, bad) in counts.items():
    print("%-24s %d passed, %d failed" % (name, ok, bad))
sys.exit(1 if any(bad for _, bad in counts.values()) else 0)
'

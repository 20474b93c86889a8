#!/usr/bin/env bash
# Builds the release download from the Windows build: the exe and its logo, then
# build/win/package/Velodusk-<version>-win32.zip (stripped Velodusk.exe,
# Logo.gif, ReadMe.txt) with its SHA-256 file beside it, and the winget and
# scoop manifests for it in build/win/package/manifests (scripts/manifests.py;
# the URLs come from VELODUSK_HOMEPAGE and VELODUSK_DOWNLOAD_URL in
# cmake/Package.cmake). Prints the zip's path and size and the manifests.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh exe
rm -f build/win/package/*.zip build/win/package/*.sha256
log=build/win/package.log
(cd build/win && cpack) >"$log" 2>&1 || { cat "$log" >&2; echo "release: cpack failed" >&2; exit 1; }
zip=$(ls "$(pwd)"/build/win/package/Velodusk-*-win32.zip)
echo "package:  $zip ($(stat -c %s "$zip") bytes)"
echo "checksum: $zip.sha256"
unzip -l "$zip"
echo "manifests:"
find "$(pwd)/build/win/package/manifests" -type f | sort

#!/usr/bin/env bash
# Installs every package Velodusk needs to build, run and test on Debian 12 (run as root).
# Idempotent: when everything is present it only checks and prints nothing.
set -euo pipefail

packages=(
  cmake make g++ clang libclang-rt-14-dev
  g++-mingw-w64-i686 gcc-mingw-w64-i686 binutils-mingw-w64-i686
  wine wine32:i386 wine64 qemu-user-static
  xvfb xdotool x11-utils imagemagick fonts-wqy-microhei
  locales python3
  googletest libbenchmark-dev
  gifsicle libgif-dev giflib-tools liblnk-utils
  fonts-wine unzip libimage-exiftool-perl
  python3-jsonschema python3-yaml
)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  # dpkg-query needs the bare name for the native arch and name:arch for foreign ones
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

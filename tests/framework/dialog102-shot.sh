#!/usr/bin/env bash
# Screenshot of dialog 102 as Wine renders it: dialog102-shot.sh EMULATOR EXE OUT.png
# Writes OUT.png (the dialog) and OUT-screen.png (the whole display). Exit 77: no display.
set -u
emulator=$1 exe=$2 out=$3
[ -n "${DISPLAY:-}" ] || { echo "DISPLAY is not set"; exit 77; }
work=$(dirname "$out")/dialog102-shot
rm -rf "$work" && mkdir -p "$work"
ready=$work/ready stop=$work/stop
winpath() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); printf 'Z:%s' "${p//\//\\}"; }

# Wine's own virtual desktop: there Wine draws the caption and frame itself, where
# without a window manager the top-level window would show only its client area.
# The desktop is the prefix's default while the shot is taken, so the program
# starts on it by itself: launched through "explorer /desktop=...", the desktop
# closes one second after the launcher leaves, before an emulated 32-bit
# program has arrived.
desktop=velodusk-dialog102
"${VELODUSK_WINE64:-$emulator}" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d $desktop /f >/dev/null 2>&1
"${VELODUSK_WINE64:-$emulator}" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v $desktop /t REG_SZ /d 640x480 /f >/dev/null 2>&1
restore() {
  "${VELODUSK_WINE64:-$emulator}" reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1
  "${VELODUSK_WINE64:-$emulator}" reg delete 'HKCU\Software\Wine\Explorer\Desktops' /v $desktop /f >/dev/null 2>&1
}
trap restore EXIT
"$emulator" "$(winpath "$exe")" "$(winpath "$ready")" "$(winpath "$stop")" &
pid=$!
# A bound, not a wait: ready comes as soon as the dialog shows (about a second
# natively, up to about 20 s where 32-bit code is emulated).
for _ in $(seq 1 1200); do
  [ -s "$ready" ] && break
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
status=0
if [ -s "$ready" ]; then
  geometry=$(tr -d '\r\n' <"$ready")
  import -window root "${out%.png}-screen.png" &&
    convert "${out%.png}-screen.png" -crop "$geometry" +repage "$out" || status=1
else
  echo "the dialog did not come up"; status=1
fi
touch "$stop"
wait $pid || status=1
[ $status -eq 0 ] || exit $status

# A blank or single-coloured dialog area means nothing was drawn.
colours=$(convert "$out" -format %k info:)
echo "dialog $geometry, $colours colours: $out"
[ "$colours" -ge 4 ]

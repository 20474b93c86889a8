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
"$emulator" explorer /desktop=velodusk-dialog102,640x480 "$(winpath "$exe")" "$(winpath "$ready")" "$(winpath "$stop")" &
pid=$!
for _ in $(seq 1 200); do
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

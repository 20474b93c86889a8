#!/usr/bin/env bash
# Cross-checks the GIF frame splitter against giflib and gifsicle on GIFs made
# here by ImageMagick and gifsicle and on the GIFs that Debian packages put
# under /usr. Run by CTest as: gif-crosscheck.sh <GifCrossCheck> <work dir>.
set -euo pipefail

checker=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
cd "$work"

# /usr/local/bin/convert may be a stand-in; take ImageMagick's own when present.
convert=$(command -v convert-im6.q16 || command -v convert)

# Delays 0, 4, 5 and 50, disposal methods 0 to 3, a comment, a loop count.
"$convert" -size 24x18 \
  -delay 0 -dispose Undefined xc:red \
  -delay 4 -dispose None \( xc:red -fill blue -draw "rectangle 2,2 9,9" \) \
  -delay 5 -dispose Background \( xc:red -fill yellow -draw "circle 14,9 19,9" \) \
  -delay 50 -dispose Previous \( xc:white -fill black -draw "line 0,0 23,17" \) \
  -set comment "made for the cross-check" -loop 0 delays.gif
# Sub-rectangle frames with transparency and a palette of their own each.
"$convert" -size 40x30 -delay 10 xc:navy \
  \( xc:navy -fill orange -draw "rectangle 5,5 15,12" \) \
  \( xc:navy -fill orange -draw "rectangle 5,5 15,12" -fill green -draw "rectangle 20,18 35,28" \) \
  \( plasma:fractal -seed 11 \) \
  -layers Optimize optimised.gif
"$convert" -size 32x32 -delay 7 plasma:red-blue plasma:green-yellow gradient:white-black -loop 2 +map localtables.gif
# Noise compresses poorly: long chains of full sub-blocks, and an interlaced copy.
"$convert" -size 64x48 -seed 5 xc: +noise Random xc: +noise Random xc: +noise Random -delay 3 noise.gif
"$convert" noise.gif -interlace GIF interlaced.gif
# gifsicle's own writer: its optimiser, explicit disposals, comments, loop count.
gifsicle -O3 --loopcount=5 --comment "gifsicle" optimised.gif -o gifsicle-O3.gif
gifsicle delays.gif --disposal background '#0' --disposal previous '#2' --delay 4 '#1' --no-loopcount -o gifsicle-disposal.gif
gifsicle --no-comments --colors 16 localtables.gif -o gifsicle-colors.gif
gifsicle --merge delays.gif optimised.gif -o merged.gif

files=(./*.gif)
# GIFs shipped by Debian packages, the same file only once.
while IFS= read -r f; do files+=("$f"); done < <(
  find /usr/share /usr/lib -name '*.gif' -type f -size -4M 2>/dev/null | sort | head -n 300)

"$checker" "${files[@]}" | tee results.txt

# gifsicle as a second reader of the frame count.
status=0
while read -r file result; do
  [[ $result =~ ^[0-9]+$ ]] || continue
  images=$(gifsicle --info "$file" 2>/dev/null | sed -n '1s/.* \([0-9]*\) images\?$/\1/p')
  if [[ $images != "$result" ]]; then
    echo "$file: $result frames, gifsicle $images"
    status=1
  fi
done < <(grep -v ' checked, ' results.txt)
made=$(ls ./*.gif | wc -l)
generated=$(grep -c '^\./.* [0-9]*$' results.txt || true)
if [[ $generated -ne $made ]]; then
  echo "only $generated of the $made generated GIFs were checked"
  status=1
fi
exit $status

#!/usr/bin/env bash
# Made sample1.jpg and sample2.jpg, the two pictures the preview shows before the first scan:
# one drawn landscape (sky, sun, mountains, hills, firs, a little grain) and a variation of it,
# 220 x 290 each. The qualities are tuned so that their sizes read "17 KB" and "12 KB"
# (16,896 to 17,919 and 11,776 to 12,799 bytes). Needs ImageMagick 6 (convert).
set -euo pipefail
cd "$(dirname "$0")"

# scene OUT QUALITY SKY SUN FAR_MOUNTAINS HILLS TREES: the fixed parts around the variable ones.
scene() {
  convert -size 220x290 "$3" \
    -draw "$4" -draw "$5" -draw "$6" \
    -draw "fill #7a9a4a path 'M 0,250 Q 110,225 220,255 L 220,290 L 0,290 Z'" \
    -draw "$7" \
    -blur 0x0.6 -seed 7 -attenuate 0.6 +noise Gaussian \
    -strip -sampling-factor 2x2 -quality "$2" "$1"
}

scene sample1.jpg 85 "gradient:#3f7fc4-#f3d9a6" \
  "fill #fff3c4 circle 160,78 160,100" \
  "fill #6f8fa0 path 'M 0,170 L 40,140 L 80,155 L 130,120 L 180,150 L 220,135 L 220,290 L 0,290 Z'" \
  "fill #4f7d3a path 'M 0,205 Q 60,165 120,195 T 220,185 L 220,290 L 0,290 Z'" \
  "fill #2c4a22 polygon 40,200 30,235 50,235 polygon 60,195 48,238 72,238
   fill #3b2a1a rectangle 58,238 62,248 rectangle 38,235 42,244"

scene sample2.jpg 78 "gradient:#5a8fc9-#f0c79a" \
  "fill #fff0b8 circle 150,95 150,115" \
  "fill #7592a2 path 'M 0,175 L 50,145 L 95,160 L 140,128 L 185,152 L 220,140 L 220,290 L 0,290 Z'" \
  "fill #577f3e path 'M 0,210 Q 70,170 130,198 T 220,190 L 220,290 L 0,290 Z'" \
  "fill #2c4a22 polygon 150,205 140,240 160,240 fill #3b2a1a rectangle 148,240 152,250"

# The sizes the info lines promise; another ImageMagick may need other qualities.
check() {
  local size
  size=$(stat -c %s "$1")
  if [ "$size" -lt "$2" ] || [ "$size" -gt "$3" ]; then
    echo "$1: $size bytes, not within $2 to $3: tune its quality" >&2
    exit 1
  fi
  echo "$1: $size bytes"
}
check sample1.jpg 16896 17919
check sample2.jpg 11776 12799

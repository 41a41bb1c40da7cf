#!/usr/bin/env bash
# Times the loading of one 12-megapixel PNG, TIFF, BMP and GIF (decoder, JPEG encoding, JPEG
# decoding, LoadPicture) next to the decoders' own floor, in one run on this machine: libpng
# alone (in decode_bench) and pngtopnm reading the PNG, and djpeg -scale 1/8 -dct fast against
# LoadPicture on a 12-megapixel JPEG.
# Needs: a build in build/ (scripts/build build), imagemagick, libjpeg-turbo-progs; netpbm for
# pngtopnm (skipped without it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bench="${TESSIMAR_BUILD:-$root/build}/bench/decode_bench"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

convert -size 4000x3000 -seed 7 plasma:fractal -blur 0x1 -depth 8 "$folder/scene.ppm"
for type in png tif bmp gif; do convert "$folder/scene.ppm" "$folder/scene.$type"; done
convert "$folder/scene.ppm" -quality 90 "$folder/scene.jpg"

# Milliseconds per run of a command, the mean of runs.
time_command() {
  local runs=10 start end
  start=$(date +%s%N)
  for _ in $(seq $runs); do "$@" >/dev/null 2>&1; done
  end=$(date +%s%N)
  awk -v ns=$((end - start)) -v runs=$runs 'BEGIN { printf "%.1f", ns / runs / 1e6 }'
}

echo "djpeg -scale 1/8 -dct fast scene.jpg: $(time_command djpeg -scale 1/8 -dct fast -outfile /dev/null "$folder/scene.jpg") ms"
if command -v pngtopnm >/dev/null; then
  echo "pngtopnm scene.png:                   $(time_command pngtopnm "$folder/scene.png") ms"
fi
"$bench" "$folder/scene.png" "$folder/scene.tif" "$folder/scene.bmp" "$folder/scene.gif" "$folder/scene.jpg"

#!/usr/bin/env bash
# HEIC, AVIF and WebP next to their libraries, in one run on this machine:
# 1. a 12-megapixel photograph saved as HEIC, AVIF and WebP (and JPEG): decode_bench times
#    LoadPicture with the signature against libheif or libwebp alone decoding the same file
#    (the target: 1.2 times or less);
# 2. tessimar-scan --no-cache over N phone-size HEIC pictures with --jobs 1 and --jobs 2: the
#    times, their ratio, and whether the CSVs are the same bytes.
# Usage: bench/phone_types.sh [N]   N pictures, 500 by default.
# The pictures are made once (imagemagick, heif-enc at x265's fastest preset) in
# $TESSIMAR_BENCH_PHONES (default ${TMPDIR:-/tmp}/tessimar-phones-N) and reused by later runs;
# needs a build in build/ (or $TESSIMAR_BUILD) with tessimar-scan and decode_bench.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${TESSIMAR_BUILD:-$root/build}"
scan="$build/tools/scan/tessimar-scan"
count=${1:-500}
phones="${TESSIMAR_BENCH_PHONES:-${TMPDIR:-/tmp}/tessimar-phones-$count}"
for tool in convert heif-enc cwebp; do
  command -v $tool >/dev/null || { echo "needs $tool (imagemagick, libheif-examples, webp)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== one 12-megapixel photograph; $(nproc) cores;$(uptime | sed 's/.*,\( *load\)/\1/')"
convert -size 4032x3024 -seed 7 plasma:fractal -blur 0x1 -quality 92 "$work/scene.jpg"
heif-enc -q 50 "$work/scene.jpg" -o "$work/scene.heic" >/dev/null
heif-enc -A -q 60 "$work/scene.jpg" -o "$work/scene.avif" >/dev/null
cwebp -quiet -q 75 "$work/scene.jpg" -o "$work/scene.webp"
"$build/bench/decode_bench" "$work/scene.heic" "$work/scene.avif" "$work/scene.webp" "$work/scene.jpg"

# Pictures of 3 to 12 megapixels, 4:3, crops of twelve plasma fractals with their colours
# turned, so that sizes and contents vary as on a phone and some look alike.
make_phones() {
  mkdir -p "$phones/bases"
  seq 0 11 | xargs -P "$(nproc)" -I{} sh -c '
    [ -s "$1/bases/{}.jpg" ] || convert -size 4032x3024 -seed {} plasma:fractal -quality 92 "$1/bases/{}.jpg"' _ "$phones"
  seq 0 $((count - 1)) | xargs -P "$(nproc)" -I{} sh -c '
    i={}; out=$(printf "%s/%05d.heic" "$1" "$i")
    [ -s "$out" ] && exit 0
    mp=$((3 + i * 7 % 10))
    w=$(awk -v mp="$mp" "BEGIN { printf \"%d\", sqrt(mp * 1e6 * 4 / 3) / 2 * 2 }"); h=$((w * 3 / 4 / 2 * 2))
    x=$((i * 37 % 400)); y=$((i * 53 % 300))
    convert "$1/bases/$((i % 12)).jpg" -crop 3600x2700+$x+$y +repage -modulate 100,100,$((60 + i * 11 % 80)) \
      -scale "${w}x${h}!" -quality 10 "$1/$i.png" &&
      heif-enc -p preset=ultrafast -q $((45 + i % 20)) "$1/$i.png" -o "$out.part" >/dev/null 2>&1 &&
      mv "$out.part" "$out"; rm -f "$1/$i.png"' _ "$phones"
}

have=$( { find "$phones" -maxdepth 1 -name '*.heic' 2>/dev/null || true; } | wc -l)
if [ "$have" -lt "$count" ]; then
  echo "making $((count - have)) phone pictures in $phones ..."
  make_phones
fi

# Wall-clock nanoseconds of one scan of the pictures (not of their bases/ folder).
timed() {
  local start end
  start=$(date +%s%N)
  "$scan" --no-cache --no-subfolders --types heic "$@" "$phones" >"$work/out.csv" 2>"$work/err.txt"
  end=$(date +%s%N)
  echo "$((end - start))"
}

echo "== $count phone-size HEIC pictures in $phones;$(uptime | sed 's/.*,\( *load\)/\1/')"
one=$(timed --jobs 1); cp "$work/out.csv" "$work/one.csv"; tail -n 1 "$work/err.txt"
two=$(timed --jobs 2); cp "$work/out.csv" "$work/two.csv"
cmp -s "$work/one.csv" "$work/two.csv" && same=yes || same=NO
awk -v one="$one" -v two="$two" 'BEGIN {
  printf "jobs 1: %.2f s, jobs 2: %.2f s, jobs 2 / jobs 1: %.2f\n", one / 1e9, two / 1e9, two / one }'
echo "same CSV bytes, jobs 1 / 2: $same ($(($(wc -l <"$work/one.csv") - 1)) lines); after: $(uptime | sed 's/.*\(load\)/\1/')"
[ "$same" = yes ]

#!/usr/bin/env bash
# Times tessimar-scan --no-cache with --jobs 0, 1 and 2 over N JPEG photographs of 1 to 12
# megapixels, checks that all three write the same CSV, and prints the times and the ratio
# jobs 2 / jobs 1 (the target on a machine with two free cores: 0.6 or less).
# Usage: bench/parallel_scan.sh [N]   N photographs, 2000 by default.
# The photographs are made once with imagemagick in $TESSIMAR_BENCH_PHOTOS (default
# ${TMPDIR:-/tmp}/tessimar-parallel-N) and reused by later runs; needs a build in build/
# (or $TESSIMAR_BUILD) with tessimar-scan.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${TESSIMAR_BUILD:-$root/build}"
scan="$build/tools/scan/tessimar-scan"
count=${1:-2000}
photos="${TESSIMAR_BENCH_PHOTOS:-${TMPDIR:-/tmp}/tessimar-parallel-$count}"
[ -x "$scan" ] || { echo "no $scan: build it first (TESSIMAR_TARGET=tessimar-scan scripts/build build)" >&2; exit 1; }
command -v convert >/dev/null || { echo "needs imagemagick's convert" >&2; exit 1; }

# Twelve plasma fractals of 12 megapixels; each photograph is a crop of one of them with its
# colours turned, scaled to 1 to 12 megapixels, so that sizes and contents vary as in a
# collection and some pictures look alike.
make_photos() {
  mkdir -p "$photos/bases"
  seq 0 11 | xargs -P "$(nproc)" -I{} sh -c '
    [ -s "$1/bases/{}.jpg" ] || convert -size 4000x3000 -seed {} plasma:fractal -quality 92 "$1/bases/{}.jpg"' _ "$photos"
  seq 0 $((count - 1)) | xargs -P "$(nproc)" -I{} sh -c '
    i={}; out=$(printf "%s/%05d.jpg" "$1" "$i")
    [ -s "$out" ] && exit 0
    mp=$((1 + i * 7 % 12))                                   # megapixels, 1 to 12
    w=$(awk -v mp="$mp" "BEGIN { printf \"%d\", sqrt(mp * 1e6 * 4 / 3) }"); h=$((w * 3 / 4))
    x=$((i * 37 % 400)); y=$((i * 53 % 300))
    convert -define jpeg:size=4000x3000 "$1/bases/$((i % 12)).jpg" -crop 3600x2700+$x+$y +repage \
      -modulate 100,100,$((60 + i * 11 % 80)) -scale "${w}x${h}!" -quality $((75 + i % 20)) "$out.part" &&
      mv "$out.part" "$out"' _ "$photos"
}

have=$( { find "$photos" -maxdepth 1 -name '*.jpg' 2>/dev/null || true; } | wc -l)
if [ "$have" -lt "$count" ]; then
  echo "making $((count - have)) photographs in $photos ..."
  make_photos
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Wall-clock nanoseconds of one scan of the photographs (not of their bases/ folder).
timed() {
  local start end
  start=$(date +%s%N)
  "$scan" --no-cache --no-subfolders --types jpg "$@" "$photos" >"$work/out.csv" 2>"$work/err.txt"
  end=$(date +%s%N)
  echo "$((end - start))"
}

echo "$count photographs of 1 to 12 megapixels in $photos; $(nproc) cores;$(uptime | sed 's/.*,\( *load\)/\1/')"
one=$(timed --jobs 1); cp "$work/out.csv" "$work/one.csv"; tail -n 1 "$work/err.txt"
two=$(timed --jobs 2); cp "$work/out.csv" "$work/two.csv"
none=$(timed --jobs 0); cp "$work/out.csv" "$work/none.csv"
cmp -s "$work/one.csv" "$work/two.csv" && cmp -s "$work/one.csv" "$work/none.csv" && same=yes || same=NO

awk -v none="$none" -v one="$one" -v two="$two" 'BEGIN {
  printf "jobs 0: %.2f s, jobs 1: %.2f s, jobs 2: %.2f s\n", none / 1e9, one / 1e9, two / 1e9
  printf "jobs 2 / jobs 1: %.2f (target 0.60 or less), jobs 1 / jobs 0: %.2f\n", two / one, one / none }'
echo "same CSV bytes, jobs 0 / 1 / 2: $same ($(($(wc -l <"$work/one.csv") - 1)) lines); after: $(uptime | sed 's/.*\(load\)/\1/')"
[ "$same" = yes ]

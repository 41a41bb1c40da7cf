#!/usr/bin/env bash
# Times a cold and a warm scan of tessimar-scan with its picture cache, checks that both and a
# scan without the cache write the same CSV, and prints the cache's size per 10,000 pictures
# and the time to open it and look up 100,000 entries (cache_bench).
# Usage: bench/cache_bench.sh [N | FOLDER]   N generated photographs (default 200), or a folder.
# Needs: a build in build/ with tessimar-scan and cache_bench, imagemagick to generate.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${TESSIMAR_BUILD:-$root/build}"
scan="$build/tools/scan/tessimar-scan"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ -d "${1:-}" ]; then
  photos=$(cd "$1" && pwd)
else
  count=${1:-200}
  photos="$work/photos"
  mkdir -p "$photos"
  # A quarter of them are originals; each original has three edited copies (resized,
  # recompressed, cropped), as a photo collection has.
  seq 0 $((count / 4 - 1)) | xargs -P "$(nproc)" -I{} sh -c '
    p="$1/{}"
    convert -size 1600x1200 -seed {} plasma:fractal -quality 90 "$p-a.jpg"
    convert "$p-a.jpg" -resize 50% -quality 80 "$p-b.jpg"
    convert "$p-a.jpg" -quality 60 "$p-c.jpg"
    convert "$p-a.jpg" -crop 1500x1100+50+50 -quality 85 "$p-d.jpg"' _ "$photos"
fi
files=$(find "$photos" -type f | wc -l)

seconds() { awk -v ns="$1" 'BEGIN { printf "%.2f", ns / 1e9 }'; }
timed() {
  local start end
  start=$(date +%s%N)
  "$scan" "$@" "$photos" >"$work/out.csv" 2>"$work/err.txt"
  end=$(date +%s%N)
  echo "$((end - start))"
}

cold=$(timed --cache "$work/pictures.sqlite"); cp "$work/out.csv" "$work/cold.csv"
warm=$(timed --cache "$work/pictures.sqlite"); cp "$work/out.csv" "$work/warm.csv"
tail -n 1 "$work/err.txt"
none=$(timed --no-cache); cp "$work/out.csv" "$work/none.csv"
cmp -s "$work/cold.csv" "$work/warm.csv" && cmp -s "$work/cold.csv" "$work/none.csv" && same=yes || same=NO

echo "$files files in $photos"
echo "cold scan: $(seconds "$cold") s, warm scan: $(seconds "$warm") s, no cache: $(seconds "$none") s"
echo "same CSV bytes, cold / warm / no cache: $same ($(($(wc -l <"$work/cold.csv") - 1)) lines)"
size=$(stat -c %s "$work/pictures.sqlite")
awk -v bytes="$size" -v files="$files" \
  'BEGIN { printf "cache: %.2f MB, %.1f MB per 10,000 pictures\n", bytes / 1e6, bytes / 1e6 * 10000 / files }'
"$build/bench/cache_bench" "$work/lookup.sqlite"
[ "$same" = yes ]

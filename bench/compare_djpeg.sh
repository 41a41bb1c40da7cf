#!/usr/bin/env bash
# Times the analysis of one 12-megapixel JPEG next to libjpeg's own djpeg decoding the same
# file at 1/8 scale with the fast DCT, in one run on this machine.
# Needs: a build in build/ (scripts/build build), libjpeg-turbo-progs, imagemagick.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bench="${TESSIMAR_BUILD:-$root/build}/bench/analysis_bench"
file=$(mktemp --suffix=.jpg)
trap 'rm -f "$file"' EXIT

convert -size 4000x3000 -seed 7 plasma:fractal -blur 0x1 -quality 90 "$file"
runs=20
start=$(date +%s%N)
for _ in $(seq $runs); do djpeg -scale 1/8 -dct fast -outfile /dev/null "$file"; done
end=$(date +%s%N)
awk -v ns=$((end - start)) -v runs=$runs 'BEGIN { printf "djpeg -scale 1/8 -dct fast: %.2f ms per picture\n", ns / runs / 1e6 }'
TESSIMAR_BENCH_JPEG="$file" "$bench" --benchmark_filter=jpeg

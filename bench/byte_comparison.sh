#!/usr/bin/env bash
# Times tessimar-scan --no-cache --identical-only over folders whose files share their first
# 256 bytes and their size, at two sizes each, and prints the time of the larger over the
# smaller: about 2 when the byte comparisons grow with the number of files, 4 when with its
# square.
#   pages:  page-sized grey BMPs (1240 x 1754, 2.2 MB) with a white top and a line of their own
#           near the top, and a copy of every tenth;
#   frames: small BMPs (128 x 128) of one camera position that differ in their top row.
# Usage: bench/byte_comparison.sh [PAGES [FRAMES]]   (100 and 2500 by default; each doubled too)
# Needs a build in build/ (or $TESSIMAR_BUILD) with tessimar-scan.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scan="${TESSIMAR_BUILD:-$root/build}/tools/scan/tessimar-scan"
pages=${1:-100}
frames=${2:-2500}
[ -x "$scan" ] || { echo "no $scan: build it first (TESSIMAR_TARGET=tessimar-scan scripts/build build)" >&2; exit 1; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

# make KIND COUNT FOLDER
make() {
  python3 - "$@" <<'PY'
import os, struct, sys
kind, count, folder = sys.argv[1], int(sys.argv[2]), sys.argv[3]
os.makedirs(folder)
width, height = (1240, 1754) if kind == "pages" else (128, 128)
palette = b"".join(bytes([i, i, i, 0]) for i in range(256))
offset = 14 + 40 + len(palette)
def bmp(rows):
    dib = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(rows), 2835, 2835, 256, 0)
    return b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset) + dib + palette + rows
white = b"\xff" * width
for i in range(count):
    seen = i - i % 10 if kind == "pages" and i % 10 == 5 else i   # every tenth page copied
    own = (struct.pack("<I", seen) * width)[:width]
    # Rows are stored bottom up: a page's line near its head, a frame's in its top row, the last bytes.
    rows = white * (height - 60) + own + white * 59 if kind == "pages" else white * (height - 1) + own
    with open(os.path.join(folder, f"{i:05d}.bmp"), "wb") as f:
        f.write(bmp(rows))
PY
}

# seconds KIND COUNT
seconds() {
  local folder="$dir/$1-$2"
  make "$1" "$2" "$folder"
  local start end
  start=$(date +%s.%N)
  "$scan" --no-cache --identical-only -o "$folder.csv" "$folder" 2>/dev/null
  end=$(date +%s.%N)
  rm -rf "$folder"
  echo "$end - $start" | bc
}

for kind in pages frames; do
  count=$([ "$kind" = pages ] && echo "$pages" || echo "$frames")
  small=$(seconds "$kind" "$count")
  large=$(seconds "$kind" $((count * 2)))
  printf '%-6s %6d files: %7.2f s   %6d files: %7.2f s   ratio %.2f\n' \
    "$kind" "$count" "$small" $((count * 2)) "$large" "$(echo "$large / $small" | bc -l)"
done

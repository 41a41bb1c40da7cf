#!/usr/bin/env bash
# Prints the peak resident memory and the time of a scan of N small pictures (default
# 100,000 BMPs of 16 x 16, each different) and of the analysis of one 100-megapixel PNG, JPEG
# and TIFF, as /usr/bin/time measures them.
# Usage: bench/memory_report.sh [N]
# Needs: a build in build/ with tessimar-scan, python3, libjpeg-turbo-progs (cjpeg), GNU time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scan="${TESSIMAR_BUILD:-$root/build}/tools/scan/tessimar-scan"
count=${1:-100000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Each picture's pixels come from its own seed, spread over 100 folders of equal size.
python3 - "$work/small" "$count" <<'PY'
import os, random, struct, sys
folder, count = sys.argv[1], int(sys.argv[2])
side = 16
row = side * 3
header = struct.pack("<2sIHHI", b"BM", 54 + row * side, 0, 0, 54)
header += struct.pack("<IiiHHIIiiII", 40, side, side, 1, 24, 0, row * side, 2835, 2835, 0, 0)
for i in range(count):
    sub = os.path.join(folder, str(i % 100))
    os.makedirs(sub, exist_ok=True)
    pixels = random.Random(i).randbytes(row * side)
    with open(os.path.join(sub, f"{i}.bmp"), "wb") as f:
        f.write(header + pixels)
PY

measure() {  # label, command...
  local label=$1
  shift
  /usr/bin/time -f "%M %e %U" -o "$work/time" "$@" >/dev/null
  read -r kb seconds user <"$work/time"
  awk -v l="$label" -v kb="$kb" -v s="$seconds" -v u="$user" \
    'BEGIN { printf "%-40s peak %7.1f MB   %7.2f s wall   %7.2f s user\n", l, kb / 1024, s, u }'
}

measure "scan of $count small pictures" "$scan" --no-cache --min-width 5 --min-height 5 "$work/small"
rm -rf "$work/small"

# A gradient with noise: no decoder can skip the pixels, and the files stay a few hundred MB.
python3 - "$work" <<'PY'
import os, random, struct, sys, zlib
folder = sys.argv[1]
side = 10000
noise = random.Random(1).randbytes(side * 3 + 256)
rows = [bytes((b + y // 40) & 0xFF for b in noise[y % 256:y % 256 + 64]) * (side * 3 // 64) + b"\0" * (side * 3 % 64)
        for y in range(0, 256)]
def row(y):
    return rows[y % 256]
with open(os.path.join(folder, "big.ppm"), "wb") as f:
    f.write(b"P6 %d %d 255\n" % (side, side))
    for y in range(side):
        f.write(row(y))
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
with open(os.path.join(folder, "big.png"), "wb") as f:
    f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0)))
    z = zlib.compressobj(1)
    data = b"".join(z.compress(b"\0" + row(y)) for y in range(side)) + z.flush()
    f.write(chunk(b"IDAT", data) + chunk(b"IEND", b""))
# An uncompressed TIFF, one strip a row.
with open(os.path.join(folder, "big.tif"), "wb") as f:
    count = 10
    ifd_size = 2 + count * 12 + 4
    offsets_at = 8 + ifd_size + 6
    counts_at = offsets_at + 4 * side
    pixels_at = counts_at + 4 * side
    def entry(tag, kind, n, value):
        return struct.pack("<HHII", tag, kind, n, value)
    f.write(b"II*\0" + struct.pack("<I", 8) + struct.pack("<H", count))
    f.write(entry(256, 4, 1, side) + entry(257, 4, 1, side) + entry(258, 3, 3, 8 + ifd_size)
            + entry(259, 3, 1, 1) + entry(262, 3, 1, 2) + entry(273, 4, side, offsets_at)
            + entry(277, 3, 1, 3) + entry(278, 4, 1, 1) + entry(279, 4, side, counts_at)
            + entry(284, 3, 1, 1) + struct.pack("<I", 0))
    f.write(struct.pack("<HHH", 8, 8, 8))
    f.write(b"".join(struct.pack("<I", pixels_at + y * side * 3) for y in range(side)))
    f.write(struct.pack("<I", side * 3) * side)
    for y in range(side):
        f.write(row(y))
PY
cjpeg -quality 90 -outfile "$work/big.jpg" "$work/big.ppm"
rm -f "$work/big.ppm"

for type in png jpg tif; do
  measure "one 100-megapixel $type" "$scan" --signature "$work/big.$type"
done

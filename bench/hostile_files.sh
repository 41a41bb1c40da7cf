#!/usr/bin/env bash
# Peak memory and CPU of loading small hostile pictures with tessimar-scan --signature.
# Usage: TESSIMAR_BUILD=DIR bench/hostile_files.sh  (DIR defaults to build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scan=${TESSIMAR_BUILD:-$root/build}/tools/scan/tessimar-scan
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
python3 - "$dir" <<'PY'
import struct, sys
d = sys.argv[1]
def put(name, data):
    open(f"{d}/{name}", "wb").write(data)
# RLE8 BMP announcing 15000 x 15000 whose data ends at once.
pal = b"\0\0\0\0" * 256
rle = b"\x00\x01"
off = 14 + 40 + len(pal)
dib = struct.pack("<IiiHHIIiiII", 40, 15000, 15000, 1, 8, 1, len(rle), 2835, 2835, 256, 0)
put("rle8_ends_at_once.bmp", b"BM" + struct.pack("<IHHI", off + len(rle), 0, 0, off) + dib + pal + rle)
# GIF whose screen is just under 250 megapixels, with a 1 x 1 frame.
put("screen_1x1_frame.gif", b"GIF89a" + struct.pack("<HHBBB", 15811, 15811, 0x80, 0, 0) + b"\0\0\0\xff\xff\xff"
    + b"," + struct.pack("<HHHHB", 0, 0, 1, 1, 0) + b"\x02\x02\x44\x01\x00;")
# TIFF 15000 x 15000 whose one strip starts past the end of the file.
tags = [(256, 4, 1, 15000), (257, 4, 1, 15000), (258, 3, 1, 8), (259, 3, 1, 1), (262, 3, 1, 1),
        (273, 4, 1, 100000), (277, 3, 1, 1), (278, 4, 1, 15000), (279, 4, 1, 15000 * 15000)]
ifd = struct.pack("<H", len(tags)) + b"".join(struct.pack("<HHII", *t) for t in tags) + b"\0\0\0\0"
put("strip_past_end.tif", b"II*\0" + struct.pack("<I", 8) + ifd)
PY
printf '%-28s %8s %-40s %8s %6s\n' file bytes outcome peak_MB cpu_s
for f in "$dir"/*.*; do
  /usr/bin/time -o "$dir/.time" -f "%M %e %U" "$scan" --signature "$f" >"$dir/.out" 2>"$dir/.err" || true
  read -r kb _ cpu <<<"$(tail -1 "$dir/.time")"
  outcome=$(grep -m1 -o 'height [0-9]* width [0-9]*' "$dir/.out" || cat "$dir/.out" "$dir/.err" | sed -n 's/^cannot load: [^:]*: //p' | head -1 | cut -c1-40)
  printf '%-28s %8s %-40s %8s %6s\n' "$(basename "$f")" "$(stat -c %s "$f")" "$outcome" $((kb / 1024)) "$cpu"
done

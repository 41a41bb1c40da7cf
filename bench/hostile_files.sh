#!/usr/bin/env bash
# Peak memory and CPU (user and system) of loading small hostile pictures with
# tessimar-scan --signature (HEIC, AVIF and WebP ones need libheif-examples, webp and
# imagemagick).
# Usage: TESSIMAR_BUILD=DIR bench/hostile_files.sh  (DIR defaults to build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scan=${TESSIMAR_BUILD:-$root/build}/tools/scan/tessimar-scan
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
python3 - "$dir" <<'PY'
import os, random, struct, sys, zlib
d = sys.argv[1]
def put(name, data):
    open(f"{d}/{name}", "wb").write(data)

def rle_bmp(width, height, rle4, runs):
    pal = b"".join(bytes([i, i, i, 0]) for i in range(16 if rle4 else 256))
    off = 14 + 40 + len(pal)
    dib = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4 if rle4 else 8, 2 if rle4 else 1, len(runs),
                      2835, 2835, len(pal) // 4, 0)
    return b"BM" + struct.pack("<IHHI", off + len(runs), 0, 0, off) + dib + pal + runs
put("rle8_ends_at_once.bmp", rle_bmp(15000, 15000, False, b"\x00\x01"))
put("rle4_data_missing.bmp", rle_bmp(15000, 15000, True, b""))
# A megabyte of the longest runs on one row: pixels past its end cost a step each.
put("rle8_long_runs.bmp", rle_bmp(15000, 15000, False, b"\xff\x01" * (1 << 19) + b"\x00\x01"))
# Rows drawn, bottom up, each by full-width runs.
put("rle8_every_row.bmp", rle_bmp(15000, 15000, False, (b"\xff\x01" * 59 + b"\x00\x00") * 8000 + b"\x00\x01"))
# Deltas up to the top row, then one run: the data touch the last row only.
put("rle8_last_row_only.bmp",
    rle_bmp(15000, 15000, False, b"\x00\x02\x00\xff" * 58 + b"\x00\x02\x00\xd1\xc8\x07\x00\x01"))

def lzw_one_code_a_pixel(pixels):
    # Minimum code size 2: a clear code before each pixel keeps every code 3 bits wide.
    bits, n = 0, 0
    for p in pixels:
        for code in (4, p):
            bits |= code << n
            n += 3
    bits |= 5 << n
    n += 3
    data = bits.to_bytes((n + 7) // 8, "little")
    return b"\x02" + b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255] for i in range(0, len(data), 255)) + b"\0"
def gif(side, frame, body):
    return (b"GIF89a" + struct.pack("<HHBBB", side, side, 0x81, 0, 0) + b"\0\0\0\xff\xff\xff\x80\x80\x80\x40\x40\x40"
            + b"," + struct.pack("<HHHHB", 0, 0, frame, frame, 0) + body + b";")
put("screen_1x1_frame.gif", b"GIF89a" + struct.pack("<HHBBB", 15811, 15811, 0x80, 0, 0) + b"\0\0\0\xff\xff\xff"
    + b"," + struct.pack("<HHHHB", 0, 0, 1, 1, 0) + b"\x02\x02\x44\x01\x00;")
put("screen_16x16_frame_valid.gif", gif(15811, 16, lzw_one_code_a_pixel([(x // 4) % 4 for x in range(256)])))

def tiff(width, height, rows_per_strip, offsets, counts, compression=1, extra=b""):
    n = len(offsets)
    base = 8
    tags = [(256, 4, 1, width), (257, 4, 1, height), (258, 3, 1, 8), (259, 3, 1, compression), (262, 3, 1, 1),
            (273, 4, n, None), (277, 3, 1, 1), (278, 4, 1, rows_per_strip), (279, 4, n, None)]
    ifd_size = 2 + 12 * len(tags) + 4
    arrays = base + ifd_size
    off_pos, count_pos = arrays, arrays + 4 * n
    data_pos = count_pos + 4 * n if n > 1 else arrays
    offsets = [o if o >= 0 else data_pos for o in offsets]
    ifd = struct.pack("<H", len(tags))
    for tag, kind, count, value in tags:
        if tag == 273: value = offsets[0] if n == 1 else off_pos
        if tag == 279: value = counts[0] if n == 1 else count_pos
        ifd += struct.pack("<HHII", tag, kind, count, value)
    ifd += b"\0\0\0\0"
    arr = b"".join(struct.pack("<I", o) for o in offsets) + b"".join(struct.pack("<I", c) for c in counts)
    return b"II*\0" + struct.pack("<I", base) + ifd + (arr if n > 1 else b"") + extra
put("strip_past_end.tif", tiff(15000, 15000, 15000, [100000], [15000 * 15000]))
# 15000 one-row strips: the first is there (offset -1: at the data), the others start past the end.
put("one_strip_present.tif", tiff(15000, 15000, 1, [-1] + [10 ** 6] * 14999, [15000] * 15000, extra=bytes(15000)))
# Every strip announced empty and past the end.
put("strips_no_bytes.tif", tiff(15000, 15000, 1, [10 ** 6] * 15000, [0] * 15000))
# Valid: one deflate strip of 15000 x 15000 zeros in some 200 KB.
z = zlib.compressobj(9)
packed = b"".join(z.compress(bytes(15000 * 1000)) for _ in range(15)) + z.flush()
put("deflate_zeros_valid.tif", tiff(15000, 15000, 15000, [-1], [len(packed)], compression=8, extra=packed))
# One deflated tile of 15008 x 15008 zeros in some 220 KB: the tile's raster alone would be 900 MB.
z = zlib.compressobj(9)
packed = b"".join(z.compress(bytes(15008 * 1000)) for _ in range(15)) + z.compress(bytes(15008 * 8)) + z.flush()
tags = [(256, 4, 1, 15000), (257, 4, 1, 15000), (258, 3, 1, 8), (259, 3, 1, 8), (262, 3, 1, 1), (277, 3, 1, 1),
        (322, 4, 1, 15008), (323, 4, 1, 15008), (324, 4, 1, 8 + 2 + 12 * 10 + 4), (325, 4, 1, len(packed))]
put("one_tile_of_zeros.tif", b"II*\0" + struct.pack("<IH", 8, len(tags))
    + b"".join(struct.pack("<HHII", *t) for t in tags) + b"\0\0\0\0" + packed)

def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
def png(width, height, idat):
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", idat) + chunk(b"IEND", b""))
row = b"\0" + bytes(15000 * 3)
# 15000 x 15000 whose data end after the first row, then half of the rows with the end cut off.
put("idat_one_row.png", png(15000, 15000, zlib.compress(row)))
z = zlib.compressobj(9)
whole = b"".join(z.compress(row * 1000) for _ in range(15)) + z.flush()
put("cut_half_way.png", png(15000, 15000, whole[: len(whole) // 2])[:-12])

# Valid interlaced 15000 x 15000 pictures of some 700 KB: all rows alike, and every row of each
# pass different (one lit pixel that moves), so that no row repeats the one before it.
ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
def interlaced(side, lit):
    z = zlib.compressobj(9)
    data = []
    for x0, y0, dx, dy in ADAM7:
        width, height = (side - x0 + dx - 1) // dx, (side - y0 + dy - 1) // dy
        blank = b"\0" + bytes(width * 3)
        for r in range(height):
            k = 1 + 3 * (r % width)
            data.append(z.compress(blank[:k] + b"\xff" + blank[k + 1:] if lit else blank))
    idat = b"".join(data) + z.flush()
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 1))
            + chunk(b"IDAT", idat) + chunk(b"IEND", b""))
put("interlaced_flat_valid.png", interlaced(15000, False))
put("interlaced_rows_differ_valid.png", interlaced(15000, True))

rnd = random.Random(1).randbytes(1 << 20)
for ext in ("jpg", "png", "gif", "tif", "bmp", "cr2", "heic", "avif", "webp"):
    put(f"random.{ext}", rnd)
PY
# A flat progressive 15000 x 15000 JPEG of some 880 KB, where cjpeg is at hand: progressive
# pictures keep every coefficient, 450 MB of them here.
if command -v cjpeg >/dev/null; then
  python3 -c 'import sys; sys.stdout.buffer.write(b"P5 15000 15000 255\n" + bytes(15000 * 15000))' |
    cjpeg -progressive -optimize -quality 50 >"$dir/progressive_flat.jpg"
fi
# Flat HEIC, AVIF and WebP pictures of some kilobytes, where libheif's and libwebp's tools are
# at hand: 4000 x 4000 ones to decode, 10000 x 10000 ones whose decoding a small file cannot pay
# for, and small ones whose headers announce 12000 x 12000.
if command -v heif-enc >/dev/null && command -v cwebp >/dev/null && command -v convert >/dev/null; then
  for side in 4000 10000; do
    python3 - "$dir/.flat.png" "$side" <<'PY'
import struct, sys, zlib
def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
side = int(sys.argv[2])
z = zlib.compressobj(9)
idat = b"".join(z.compress((b"\0" + b"\x80" * side * 3) * 100) for _ in range(side // 100)) + z.flush()
open(sys.argv[1], "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0))
                              + chunk(b"IDAT", idat) + chunk(b"IEND", b""))
PY
    heif-enc -p preset=ultrafast -q 50 "$dir/.flat.png" -o "$dir/flat_$side.heic" >/dev/null
    heif-enc -A -p speed=9 -q 50 "$dir/.flat.png" -o "$dir/flat_$side.avif" >/dev/null
    cwebp -quiet -q 50 "$dir/.flat.png" -o "$dir/flat_$side.webp"
    cwebp -quiet -lossless "$dir/.flat.png" -o "$dir/flat_${side}_lossless.webp"
  done
  convert -size 64x64 plasma: "$dir/.small.png"
  heif-enc -q 50 "$dir/.small.png" -o "$dir/.small.heic" >/dev/null
  cwebp -quiet -q 50 "$dir/.small.png" -o "$dir/.small.webp"
  python3 - "$dir" <<'PY'
import struct, sys
d = sys.argv[1]
heic = bytearray(open(f"{d}/.small.heic", "rb").read())
at = heic.find(b"ispe")
heic[at + 8:at + 16] = struct.pack(">II", 12000, 12000)
open(f"{d}/ispe_12000.heic", "wb").write(heic)
webp = bytearray(open(f"{d}/.small.webp", "rb").read())
webp[26:30] = struct.pack("<HH", 12000, 12000)
open(f"{d}/vp8_12000.webp", "wb").write(webp)
PY
fi
printf '%-34s %8s %-40s %8s %6s\n' file bytes outcome peak_MB cpu_s
for f in "$dir"/*.*; do
  /usr/bin/time -o "$dir/.time" -f "%M %U %S" "$scan" --signature "$f" >"$dir/.out" 2>"$dir/.err" || true
  read -r kb user system <<<"$(tail -1 "$dir/.time")"
  cpu=$(awk -v u="$user" -v s="$system" 'BEGIN { printf "%.2f", u + s }')
  outcome=$(grep -m1 -o 'height [0-9]* width [0-9]*' "$dir/.out" || cat "$dir/.out" "$dir/.err" | sed -n 's/^cannot load: [^:]*: //p' | head -1 | cut -c1-40)
  printf '%-34s %8s %-40s %8s %6s\n' "$(basename "$f")" "$(stat -c %s "$f")" "$outcome" $((kb / 1024)) "$cpu"
done

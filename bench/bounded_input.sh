#!/usr/bin/env bash
# Peak memory and CPU of tessimar-scan --signature on hostile files that announce or hold far
# more than they can deliver: a 3 GB sparse PNG (valid signature and IHDR), a 64 GB sparse JPEG,
# a truncated interlaced PNG announcing 15000 x 15000, the 13 KB raw sample patched to announce
# 15811 x 15811, a raw whose tall pixels develop past the pixel limit, and, for the cost of an
# honest picture, a real 10000 x 10000 PNG.
# Sparse files cost no disk. Prints one line a file:
#   name  size  outcome  peak MB  CPU s
# Usage: bench/bounded_input.sh [TESSIMAR-SCAN]   (default: build/tools/scan/tessimar-scan)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scan="${1:-${TESSIMAR_BUILD:-$root/build}/tools/scan/tessimar-scan}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work" "$root/tests/data/raw_sample.cr2" <<'PY'
import os, random, struct, sys, zlib
work, raw_sample = sys.argv[1], sys.argv[2]

def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

def png_head(width, height, interlace):
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, interlace))

def sparse(name, head, size):
    with open(os.path.join(work, name), "wb") as f:
        f.write(head)
        f.truncate(size)

sparse("sparse-3g.png", png_head(1000, 1000, 0), 3 << 30)
sparse("sparse-64g.jpg", b"\xff\xd8\xff\xe0", 64 << 30)

# The first megabyte of an interlaced 15000 x 15000 picture's data, then the file ends.
deflate = zlib.compressobj()
data = deflate.compress(bytes(1 << 20)) + deflate.flush(zlib.Z_SYNC_FLUSH)
with open(os.path.join(work, "cut-interlaced-15000.png"), "wb") as f:
    f.write(png_head(15000, 15000, 1) + chunk(b"IDAT", data))

# The raw sample with width, height, active area and crop size rewritten in every directory and
# sub-directory, pixels scale times as tall as wide (DefaultScale), and padding zeros after it.
def raw_announcing(width, height, scale, padding):
    raw = bytearray(open(raw_sample, "rb").read())
    order = "<" if raw[:2] == b"II" else ">"
    def patch(offset):
        count = struct.unpack_from(order + "H", raw, offset)[0]
        for i in range(count):
            entry = offset + 2 + 12 * i
            tag, kind, n, value = struct.unpack_from(order + "HHII", raw, entry)
            if tag in (256, 257) and n == 1:
                struct.pack_into(order + ("I" if kind == 4 else "H"), raw, entry + 8, width if tag == 256 else height)
            if tag == 50718 and kind == 5 and n == 2:  # DefaultScale
                struct.pack_into(order + "IIII", raw, value, 1, 1, scale, 1)
            if tag == 50720 and kind == 5 and n == 2:  # DefaultCropSize, which LibRaw develops
                struct.pack_into(order + "IIII", raw, value, width, 1, height, 1)
            if tag == 50829 and n == 4:  # ActiveArea: all of it
                struct.pack_into(order + "IIII", raw, value, 0, 0, height, width)
            if tag == 330:
                for k in range(n):
                    patch(value if n == 1 else struct.unpack_from(order + "I", raw, value + 4 * k)[0])
        return struct.unpack_from(order + "I", raw, offset + 2 + 12 * count)[0]
    ifd = struct.unpack_from(order + "I", raw, 4)[0]
    while 0 < ifd < len(raw):
        ifd = patch(ifd)
    return bytes(raw) + bytes(padding)

open(os.path.join(work, "announcing-15811.cr2"), "wb").write(raw_announcing(15811, 15811, 1, 0))
# Room in the file for its 26 megapixels, developed ten times as tall: 260 megapixels.
open(os.path.join(work, "stretched-5200x5000.cr2"), "wb").write(raw_announcing(5200, 5000, 10, 4 << 20))

# A gradient under noise, so that it compresses as a photograph does: 16 noisy rows, each shifted
# by the row's place in the vertical gradient.
side = 10000
rng = random.Random(1)
noisy = [bytes((x * 255 // side + rng.randrange(-24, 25)) % 256 for x in range(side) for _ in range(3))
         for _ in range(16)]
with open(os.path.join(work, "real-100mp.png"), "wb") as f:
    f.write(png_head(side, side, 0))
    deflate = zlib.compressobj()
    for y in range(side):
        shift = bytes((v + y * 255 // side) % 256 for v in range(256))
        data = deflate.compress(b"\0" + noisy[y % 16].translate(shift))
        if data:
            f.write(chunk(b"IDAT", data))
    f.write(chunk(b"IDAT", deflate.flush()) + chunk(b"IEND", b""))
PY

printf '%-26s %14s  %-8s %8s %7s\n' name size outcome "peak MB" "CPU s"
files=(sparse-3g.png sparse-64g.jpg cut-interlaced-15000.png announcing-15811.cr2 stretched-5200x5000.cr2
       real-100mp.png)
for file in "${files[@]}"; do
  path="$work/$file"
  status=0
  /usr/bin/time -v -o "$work/time" "$scan" --signature "$path" >"$work/out" 2>&1 || status=$?
  if grep -q "Command terminated by signal" "$work/time"; then outcome=killed
  elif [ "$status" -eq 0 ] && ! grep -qi "error\|cannot\|fail" "$work/out"; then outcome=loaded
  else outcome=failed; fi
  peak=$(awk -F: '/Maximum resident set size/ {printf "%.1f", $2 / 1024}' "$work/time")
  cpu=$(awk -F: '/User time/ {u = $2} /System time/ {s = $2} END {printf "%.2f", u + s}' "$work/time")
  printf '%-26s %14s  %-8s %8s %7s\n' "$file" "$(stat -c %s "$path")" "$outcome" "$peak" "$cpu"
  if [ -n "${BOUNDED_INPUT_VERBOSE:-}" ]; then head -c 300 "$work/out" && echo; fi
done

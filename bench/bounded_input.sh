#!/usr/bin/env bash
# Peak memory and CPU of tessimar-scan --signature on hostile files that announce or hold far
# more than they can deliver: a 3 GB sparse PNG (valid signature and IHDR), a 64 GB sparse JPEG,
# a truncated interlaced PNG announcing 15000 x 15000, and the 13 KB raw sample patched to
# announce 15811 x 15811. Sparse files cost no disk. Prints one line a file:
#   name  size  outcome  peak MB  CPU s
# Usage: bench/bounded_input.sh [TESSIMAR-SCAN]   (default: build/tools/scan/tessimar-scan)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scan="${1:-${TESSIMAR_BUILD:-$root/build}/tools/scan/tessimar-scan}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work" "$root/tests/data/raw_sample.cr2" <<'PY'
import os, struct, sys, zlib
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

# Width, height, active area and crop size rewritten in every directory and sub-directory of the raw sample.
raw = bytearray(open(raw_sample, "rb").read())
order = "<" if raw[:2] == b"II" else ">"
def patch(offset):
    count = struct.unpack_from(order + "H", raw, offset)[0]
    for i in range(count):
        entry = offset + 2 + 12 * i
        tag, kind, n, value = struct.unpack_from(order + "HHII", raw, entry)
        if tag in (256, 257) and n == 1:
            struct.pack_into(order + ("I" if kind == 4 else "H"), raw, entry + 8, 15811)
        if tag == 50720 and kind == 5 and n == 2:  # DefaultCropSize, which LibRaw develops
            struct.pack_into(order + "IIII", raw, value, 15811, 1, 15811, 1)
        if tag == 50829 and n == 4:  # ActiveArea: all of it
            struct.pack_into(order + "IIII", raw, value, 0, 0, 15811, 15811)
        if tag == 330:
            for k in range(n):
                patch(value if n == 1 else struct.unpack_from(order + "I", raw, value + 4 * k)[0])
    return struct.unpack_from(order + "I", raw, offset + 2 + 12 * count)[0]
ifd = struct.unpack_from(order + "I", raw, 4)[0]
while 0 < ifd < len(raw):
    ifd = patch(ifd)
open(os.path.join(work, "announcing-15811.cr2"), "wb").write(raw)
PY

printf '%-26s %14s  %-8s %8s %7s\n' name size outcome "peak MB" "CPU s"
for file in sparse-3g.png sparse-64g.jpg cut-interlaced-15000.png announcing-15811.cr2; do
  path="$work/$file"
  status=0
  /usr/bin/time -v -o "$work/time" "$scan" --signature "$path" >"$work/out" 2>&1 || status=$?
  if grep -q "Command terminated by signal" "$work/time"; then outcome=killed
  elif [ "$status" -eq 0 ] && ! grep -qi "error\|cannot\|fail" "$work/out"; then outcome=loaded
  else outcome=failed; fi
  peak=$(awk -F: '/Maximum resident set size/ {printf "%.1f", $2 / 1024}' "$work/time")
  cpu=$(awk -F: '/User time/ {u = $2} /System time/ {s = $2} END {printf "%.2f", u + s}' "$work/time")
  printf '%-26s %14s  %-8s %8s %7s\n' "$file" "$(stat -c %s "$path")" "$outcome" "$peak" "$cpu"
  [ -n "${BOUNDED_INPUT_VERBOSE:-}" ] && head -c 300 "$work/out" && echo
done

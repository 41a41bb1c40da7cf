#!/usr/bin/env bash
# Prints what the window does with PAIRS pairs (default 100,000) that a scan in the window
# found: the scan's time, the time of a sort by each column each way, and the window's peak
# resident memory as getrusage and /usr/bin/time see it. The scan covers PAIRS + 1 BMPs of
# 16 x 16 pixels, each the one before with three pixels changed, so that each pairs with the
# one before it, the nearest, and the pass finds every pair at its first comparison.
# Usage: bench/window_load.sh [PAIRS]
# Needs: a build in build/ with window_sort_bench, python3, GNU time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bench="${TESSIMAR_BUILD:-$root/build}/bench/window_sort_bench"
pairs=${1:-100000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Names in catalogue order, 1000 to a folder.
python3 - "$work/chain" "$((pairs + 1))" <<'PY'
import os, random, struct, sys
folder, count = sys.argv[1], int(sys.argv[2])
side = 16
row = side * 3
header = struct.pack("<2sIHHI", b"BM", 54 + row * side, 0, 0, 54)
header += struct.pack("<IiiHHIIiiII", 40, side, side, 1, 24, 0, row * side, 2835, 2835, 0, 0)
rng = random.Random(1)
pixels = bytearray(rng.randbytes(row * side))
for i in range(count):
    sub = os.path.join(folder, f"{i // 1000:03d}")
    os.makedirs(sub, exist_ok=True)
    for _ in range(3):
        at = rng.randrange(side * side) * 3
        pixels[at:at + 3] = rng.randbytes(3)
    with open(os.path.join(sub, f"{i:06d}.bmp"), "wb") as f:
        f.write(header + pixels)
PY

QT_QPA_PLATFORM=offscreen /usr/bin/time -f "%M %e %U" -o "$work/time" "$bench" --scan "$work/chain"
read -r kb seconds user <"$work/time"
awk -v kb="$kb" -v s="$seconds" -v u="$user" \
  'BEGIN { printf "/usr/bin/time: peak %.1f MB, %.1f s wall, %.1f s user\n", kb / 1024, s, u }'

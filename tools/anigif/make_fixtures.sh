#!/bin/bash
# make_fixtures.sh: writes the small GIF files the animated GIF control's tests
# read (tests/anigif/fixtures). The files are checked in, so the tests do not
# depend on the versions of the tools that made them; run this only to change
# them. Needs gifbuild (giflib-tools), ImageMagick's convert and python3.
set -euo pipefail
out=${1:-$(dirname "$0")/../../tests/anigif/fixtures}
mkdir -p "$out"
CONVERT=/usr/bin/convert
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# --- gifbuild: exact control over tables, extensions and control blocks ---

# Global and local tables, a comment, an interlaced image with a local table,
# transparency with disposal 2, delays and a loop block.
cat > "$tmp/tables.txt" <<'GIF'
screen width 6
screen height 5
screen map
	rgb 255 000 000 is a
	rgb 000 255 000 is b
	rgb 000 000 255 is c
	rgb 255 255 255 is d
end
netscape loop 5
comment
made for the control's tests
end
image
image bits 6 by 5
aabbcc
abcdab
dddddd
cccccc
abcabc
graphics control
	disposal mode 2
	delay 7
	transparent index 1
end
image
image left 1
image top 1
image map
	rgb 010 020 030 is A
	rgb 040 050 060 is B
	rgb 070 080 090 is C
	rgb 100 110 120 is D
	rgb 130 140 150 is E
end
image interlaced
image bits 3 by 3
ABC
DEA
BBB
graphics control
	disposal mode 1
	delay 12
end
image
image left 4
image top 3
image bits 2 by 2
dd
ca
GIF
gifbuild "$tmp/tables.txt" > "$out/tables.gif"

# Plain text and unknown extensions between frames; disposal 0 to 3.
cat > "$tmp/extensions.txt" <<'GIF'
screen width 8
screen height 8
screen map
	rgb 000 000 000 is a
	rgb 200 000 000 is b
	rgb 000 200 000 is c
	rgb 000 000 200 is d
end
graphics control
	disposal mode 0
	delay 5
end
image
image bits 8 by 8
abababab
babababa
abababab
babababa
cccccccc
dddddddd
cccccccc
dddddddd
plaintext
\000\000\000\000\010\000\010\000\010\010\001\002
some text that is never drawn
end
extension 42
unknown extension data
end
graphics control
	disposal mode 3
	delay 5
	transparent index 0
end
image
image left 2
image top 2
image bits 4 by 4
acca
cddc
cddc
acca
graphics control
	disposal mode 2
	delay 5
end
image
image left 1
image top 5
image bits 6 by 2
bbbbbb
cccccc
graphics control
	disposal mode 1
	delay 5
	transparent index 3
end
image
image left 0
image top 0
image bits 8 by 1
abcdabcd
GIF
gifbuild "$tmp/extensions.txt" > "$out/extensions.gif"

# Minimum code sizes 2 to 8: 2^n colours, every index used.
for n in 2 3 4 5 6 7 8; do
  {
    echo "screen width 24"
    echo "screen height 20"
    echo "screen map"
    for ((k = 0; k < (1 << n); k++)); do echo "	rgb $((k * 7 % 256)) $((k * 13 % 256)) $((255 - k))"; done
    echo "end"
    echo "image"
    echo "image bits 24 by 20 hex"
    for ((y = 0; y < 20; y++)); do
      row=""
      for ((x = 0; x < 24; x++)); do row+=$(printf "%02x" $(((x * x + y * 7 + x * y) % (1 << n)))); done
      echo "$row"
    done
  } > "$tmp/codesize$n.txt"
  gifbuild "$tmp/codesize$n.txt" > "$out/codesize$n.gif"
done

# --- ImageMagick: animations with partial frames, transparency, disposal ---

$CONVERT -loop 3 \
  -dispose None -delay 10 -size 40x30 gradient:'#ff0000-#0000ff' \
  -dispose Background -delay 20 -page +5+5 -size 20x10 xc:'#00ff00' \
  -dispose Previous -delay 30 -page +12+12 \( -size 16x12 xc:none -fill yellow -draw 'circle 8,6 8,1' \) \
  -dispose None -delay 40 -page +0+20 -size 10x10 xc:'#ffffff' \
  -dispose None -delay 50 -page +25+2 \( -size 12x12 xc:none -fill '#00ffff' -draw 'rectangle 2,2 9,9' \) \
  "$out/disposal.gif"

$CONVERT -size 64x48 gradient:'#ff8000-#0040ff' -interlace GIF "$out/interlaced.gif"

# 256 colours of noise: codes reach 12 bits and the table fills many times.
$CONVERT -seed 7 -size 96x80 xc: +noise Random -colors 256 "$out/noise256.gif"

# --- hand-written: the full 12-bit table kept in use before a late clear ---
python3 - "$out/deferred_clear.gif" <<'PY'
import random, sys
random.seed(3)
w, h, mcs = 120, 80, 8
px = [random.randrange(256) if random.random() < 0.7 else 0 for _ in range(w * h)]
clear, end = 1 << mcs, (1 << mcs) + 1
codes, table, nxt, width, deferred = [(clear, mcs + 1)], {}, clear + 2, mcs + 1, 0
prefix = px[0]
for c in px[1:]:
    if (prefix, c) in table:
        prefix = table[(prefix, c)]
        continue
    codes.append((prefix, width))
    if nxt < 4096:
        table[(prefix, c)] = nxt
        nxt += 1
        if nxt > (1 << width) and width < 12:
            width += 1
    else:
        deferred += 1
        if deferred == 700:  # long after the table filled
            codes.append((clear, width))
            table, nxt, width, deferred = {}, clear + 2, mcs + 1, 0
    prefix = c
codes += [(prefix, width), (end, width)]
acc = nbits = 0
data = bytearray()
for code, wd in codes:
    acc |= code << nbits
    nbits += wd
    while nbits >= 8:
        data.append(acc & 255); acc >>= 8; nbits -= 8
if nbits:
    data.append(acc)
out = bytearray(b'GIF89a') + bytes([w & 255, w >> 8, h & 255, h >> 8, 0xF7, 0, 0])
for k in range(256):
    out += bytes([k, (k * 3) & 255, 255 - k])
out += bytes([0x2C, 0, 0, 0, 0, w & 255, w >> 8, h & 255, h >> 8, 0, mcs])
for i in range(0, len(data), 255):
    chunk = data[i:i + 255]
    out += bytes([len(chunk)]) + chunk
out += b'\x00;'
open(sys.argv[1], 'wb').write(out)
PY

# A file cut inside its third frame's data, a few bytes before the fourth
# frame's control block.
python3 - "$out/disposal.gif" "$out/truncated.gif" <<'PY'
import re, sys
data = open(sys.argv[1], 'rb').read()
gce = [m.start() for m in re.finditer(rb'\x21\xf9\x04', data)]
open(sys.argv[2], 'wb').write(data[:gce[3] - 5])
PY

ls -l "$out"

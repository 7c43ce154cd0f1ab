#!/bin/bash
# make_bench_pictures.sh: draws the pictures the GIF decoder benchmark reads,
# one folder per group. Needs ImageMagick's convert.
set -euo pipefail
out=$1
C=/usr/bin/convert
mkdir -p "$out/small" "$out/still" "$out/anim" "$out/interlaced"

# Small UI pictures, at the sizes of the client's own: the 150 x 143 wild
# animation of 13 frames, buttons, icons and an avatar.
args=()
for i in $(seq 0 12); do
  args+=(-dispose None -delay 10 -page +0+0 \( -size 150x143 plasma:'#ff4000-#ffd000' -seed $((i + 1)) -swirl $((i * 20)) \))
done
$C -seed 1 "${args[@]}" -colors 128 -loop 0 "$out/small/bomb_150x143.gif"
$C -seed 2 -size 80x26 gradient:'#3060c0-#80c0ff' -fill white -draw 'rectangle 8,8 71,17' -colors 64 "$out/small/button_80x26.gif"
$C -seed 3 -size 32x32 plasma: -colors 32 "$out/small/icon_32x32.gif"
$C -seed 4 -size 16x16 xc:none -fill '#c02020' -draw 'circle 8,8 8,2' "$out/small/dot_16x16.gif"
$C -seed 5 -size 100x100 plasma:'#806040-#f0d0a0' -colors 128 "$out/small/avatar_100x100.gif"
$C -seed 6 -size 48x48 radial-gradient:'#ffe080-#804000' -colors 64 "$out/small/tile_48x48.gif"

# A 1024 x 768 still with error-diffusion dithering to 256 colours.
$C -seed 7 -size 1024x768 plasma:fractal -blur 0x2 -dither FloydSteinberg -colors 256 "$out/still/dithered_1024x768.gif"

# 20 frames of 640 x 480: a full first frame, then partial frames with
# transparent pixels, some of them "restore previous".
args=(-dispose None -delay 8 -page +0+0 \( -size 640x480 plasma:'#204080-#80c0ff' -colors 200 \))
for i in $(seq 1 19); do
  x=$(((i * 53) % 400)); y=$(((i * 37) % 300))
  dispose=None
  if ((i % 3 == 0)); then dispose=Previous; fi
  args+=(-dispose $dispose -delay 8 -page +$x+$y \( -size 220x160 xc:none -fill "hsl($((i * 18)),80%,50%)" -draw "circle 110,80 110,$((5 + i))" -fill "hsl($((i * 18 + 90)),70%,40%)" -draw "rectangle 20,20 $((60 + i * 5)),140" \))
done
$C -seed 8 "${args[@]}" -loop 0 "$out/anim/anim_640x480x20.gif"

# An interlaced 800 x 600 picture.
$C -seed 9 -size 800x600 plasma:'#102040-#f0e0a0' -colors 256 -interlace GIF "$out/interlaced/interlaced_800x600.gif"

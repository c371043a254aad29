#!/usr/bin/env bash
# Draws the sample pictures placed beside ruzir.scr (its default picture
# folder): JPEG and BMP files of different shapes, made here from nothing
# but ImageMagick's own drawing, so every build gets the same set.
set -euo pipefail
out=${1:?usage: make-samples.sh FOLDER}
mkdir -p "$out"
convert=/usr/bin/convert  # the real ImageMagick, whatever else is on PATH

stamp="$out/.samples-v1"
[ -f "$stamp" ] && exit 0

# Dusk over hills, landscape.
"$convert" -size 1600x1000 gradient:'#1b2a5a-#f39a5b' \
  -fill '#ffe7a8' -draw 'circle 1100,640 1100,730' \
  -fill '#2e3a4f' -draw 'polygon 0,1000 0,720 260,600 520,700 800,560 1100,690 1380,610 1600,700 1600,1000' \
  -fill '#1c2433' -draw 'polygon 0,1000 0,850 400,760 760,860 1150,780 1600,880 1600,1000' \
  -quality 90 "$out/dusk-hills.jpg"

# A tall lighthouse, portrait.
"$convert" -size 700x1050 gradient:'#87c5ea-#e8f4fb' \
  -fill '#3d6e8f' -draw 'rectangle 0,860 700,1050' \
  -fill '#f4f1ea' -draw 'polygon 300,300 400,300 430,860 270,860' \
  -fill '#c8413b' -draw 'polygon 292,450 408,450 414,560 286,560' \
  -fill '#c8413b' -draw 'polygon 280,670 420,670 426,780 274,780' \
  -fill '#2f2f38' -draw 'rectangle 290,250 410,300' \
  -fill '#ffd86b' -draw 'rectangle 305,262 395,292' \
  -quality 90 "$out/lighthouse.jpeg"

# Concentric tiles, square bitmap.
"$convert" -size 800x800 xc:'#f6efe2' \
  -fill '#e07a5f' -draw 'circle 400,400 400,40' \
  -fill '#f2cc8f' -draw 'circle 400,400 400,130' \
  -fill '#81b29a' -draw 'circle 400,400 400,220' \
  -fill '#3d405b' -draw 'circle 400,400 400,310' \
  -type TrueColor "BMP3:$out/tiles.bmp"

# A wide sea panorama.
"$convert" -size 2100x700 gradient:'#fdfcfb-#9ccfe7' \
  -fill '#2a6f97' -draw 'rectangle 0,420 2100,700' \
  -fill '#468faf' -draw 'polygon 0,470 350,440 700,480 1050,450 1400,490 1750,455 2100,475 2100,700 0,700' \
  -fill '#fff3c4' -draw 'circle 1650,250 1650,320' \
  -quality 88 "$out/sea-panorama.JPG"

# Small green leaves, narrow bitmap.
"$convert" -size 360x540 gradient:'#d8f3dc-#74c69d' \
  -fill '#2d6a4f' -draw 'ellipse 180,200 70,140 0,360' \
  -fill '#40916c' -draw 'ellipse 180,400 50,100 0,360' \
  -fill '#1b4332' -draw 'line 180,60 180,520' \
  -type TrueColor "BMP3:$out/leaves.bmp"

touch "$stamp"

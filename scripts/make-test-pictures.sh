#!/usr/bin/env bash
# Draws the pictures the end-to-end tests show, into FOLDER: two camera-size
# JPEGs (6000 x 4000, 24 megapixels, with grain so the codec has real work),
# a small photo stored on its side, whose EXIF data says to turn it, and the
# same upright picture as PNG, GIF and TIFF, and as a PNG named .jpg.
set -euo pipefail
out=${1:?usage: make-test-pictures.sh FOLDER}
convert=/usr/bin/convert  # the real ImageMagick, whatever else is on PATH
stamp="$out/.test-pictures-v2"
[ -f "$stamp" ] && exit 0
mkdir -p "$out"

"$convert" -size 6000x4000 gradient:'#203a70-#f0b060' -attenuate 0.3 +noise Uniform \
  -quality 90 "$out/camera-a.jpg"
"$convert" -size 6000x4000 gradient:'#f0b060-#207a40' -attenuate 0.3 +noise Uniform \
  -quality 90 "$out/camera-b.jpg"

# 400 x 200 as stored: red on the left, blue on the right. Its EXIF
# Orientation is 6 (turn it 90 degrees clockwise), so upright it is a 200 x
# 400 portrait, red on top. ImageMagick writes no EXIF of its own, so the
# segment is put in by hand, right after the start-of-image marker: APP1 of
# 34 bytes holding "Exif\0\0" and a big-endian TIFF header whose first
# directory has one entry, tag 274 (SHORT, 1 value) = 6.
"$convert" -size 200x200 xc:'#ff0000' -size 200x200 xc:'#0000ff' +append -quality 95 \
  "$out/stored.jpg"
{
  printf '\xff\xd8\xff\xe1\x00\x22Exif\x00\x00MM\x00\x2a\x00\x00\x00\x08'
  printf '\x00\x01\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06\x00\x00\x00\x00\x00\x00'
  tail -c +3 "$out/stored.jpg"
} >"$out/turned.jpg"
rm "$out/stored.jpg"

# 200 x 400, red over blue. The GIF and the TIFF have a second frame, all
# green: only the first is shown.
"$convert" -size 200x200 xc:'#ff0000' -size 200x200 xc:'#0000ff' -append +repage "$out/upright.png"
for kind in gif tif; do
  "$convert" "$out/upright.png" -size 200x400 xc:'#00ff00' "$out/upright.$kind"
done
cp "$out/upright.png" "$out/png-named.jpg"
touch "$stamp"

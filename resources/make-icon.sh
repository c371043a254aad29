#!/bin/sh
# Draws the program's icon (a picture on the show's default background) and
# writes ruzir.ico with the sizes Windows asks for. Run by hand when the icon
# changes; the result is committed so that builds need no image tools.
set -eu
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert -size 256x256 xc:none \
  -fill '#400040' -draw 'roundrectangle 8,8 247,247 40,40' \
  -fill '#f4f0e8' -draw 'rectangle 40,56 215,199' \
  -fill '#7ab8e8' -draw 'rectangle 52,68 203,187' \
  -fill '#f0c040' -draw 'circle 165,100 165,118' \
  -fill '#3a8a4a' -draw 'polygon 52,187 105,120 140,160 165,135 203,187' \
  "$tmp/icon.png"
convert "$tmp/icon.png" -define icon:auto-resize=256,48,32,16 ruzir.ico

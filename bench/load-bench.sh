#!/usr/bin/env bash
# The platform-bound figures under Wine: makes a 6000 x 4000 camera-like JPEG
# (gradients with grain, so the codec has real work), runs ruzir_bench_win on
# it (its time to a slide, then the memory one load takes at 1080p and 4K),
# then removes it.
set -euo pipefail
source "$(dirname "$0")/../scripts/env.sh"
ensure_prefix
start_private_display 1920x1080
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/convert -size 6000x4000 gradient:'#203a70-#f0b060' -attenuate 0.3 +noise Uniform \
  -quality 90 "$work/camera.jpg"
cd "$WIN_BUILD"
camera="Z:${work//\//\\}\\camera.jpg"
"$WINE" ./ruzir_bench_win.exe "$camera"
for height in 1080 2160; do "$WINE" ./ruzir_bench_win.exe "$camera" $height; done

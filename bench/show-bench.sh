#!/usr/bin/env bash
# How the full-screen show holds up with camera photos: runs the real show
# under Wine on a virtual screen through ruzir_show_probe, which times it from
# outside, and prints a table. Figures are milliseconds, each the median of
# three runs:
#   start         until the window is there, and until the first picture is
#                 (the show draws files at random and tries them until one
#                 loads, so with 30,000 empty files the picture's time spreads
#                 widely from run to run);
#   answers       the longest the window's thread took to answer a message,
#                 asked every 5 ms while photos change each second, and how
#                 many answers took over 50 ms (a missed tick of the drift);
#   key to exit   from a key press until the process has ended;
#   memory        the show's resident memory drifting one photo, against its
#                 peak after about ten changes of photos (MiB).
# Usage: show-bench.sh [SCR]   SCR: another build of ruzir.scr to time (it is
# copied alone, with the probe that starts it from beside it, into a folder of
# its own); the one built here by default.
set -euo pipefail
source "$(dirname "$0")/../scripts/env.sh"
ensure_prefix
work=$BUILD/show-bench
probe=$work/program/ruzir_show_probe.exe
key='HKCU\Software\Zedozud Uravovuv\Ruzir\Settings'
runs=3

# The pictures: a folder of two 24 MP photos, one of a small picture, and
# one of 30,000 empty .jpg files that fail to load, beside the small picture.
"$ROOT/scripts/make-test-pictures.sh" "$work/pictures"
if [ ! -f "$work/.folders-v1" ]; then
  rm -rf "$work/photos" "$work/small" "$work/many"
  mkdir -p "$work/photos" "$work/small" "$work/many"
  ln -f "$work/pictures/camera-a.jpg" "$work/pictures/camera-b.jpg" "$work/photos/"
  /usr/bin/convert -size 640x480 gradient:'#40a0e0-#e0e040' -quality 90 "$work/small/small.jpg"
  (cd "$work/many" && seq 10000 39999 | sed 's/^/IMG_/; s/$/.jpg/' | xargs touch)
  ln -f "$work/small/small.jpg" "$work/many/"
  touch "$work/.folders-v1"
fi
mkdir -p "$work/program"
cp "${1:-$WIN_BUILD/ruzir.scr}" "$work/program/ruzir.scr"
cp "$WIN_BUILD/ruzir_show_probe.exe" "$probe"

# hex16 N: N as the two bytes of a 16-bit little-endian value.
hex16() { printf '%02x%02x' $(($1 & 255)) $(($1 >> 8 & 255)); }

# settings FOLDER INTERVAL BREAK: the show's folder under $work, the display
# time in seconds and the transition.
settings() {
  "$WINE" reg delete 'HKCU\Software\Zedozud Uravovuv' /f >/dev/null 2>&1 || true
  "$WINE" reg add "$key" /v Path /d "Z:${work//\//\\}\\$1\\" /f >/dev/null
  "$WINE" reg add "$key" /v Interval /t REG_BINARY /d "$(hex16 "$2")" /f >/dev/null
  "$WINE" reg add "$key" /v Break /t REG_BINARY /d "$(hex16 "$3")" /f >/dev/null
}

# probe MODE [SECONDS]: the median over the runs of each figure the probe
# prints ("name value" pairs); a failed run prints none.
probe() {
  local out k
  out=$(for _ in $(seq $runs); do "$WINE" "$probe" "$@" || true; done)
  for k in 2 4 6; do
    echo "$out" | awk -v k=$k 'NF >= k {print $k}' | sort -n |
      awk '{v[NR] = $1} END {if (NR) printf "%10s", v[int((NR + 1) / 2)]}'
  done
  echo
}

# memory FOLDER INTERVAL SECONDS: the show's last and peak resident memory
# (MiB) while the probe holds it SECONDS after its first picture.
memory() {
  settings "$1" "$2" 0
  "$WINE" "$probe" hold "$3" >/dev/null &
  local held=$! pid rss=0 peak=0 now
  while kill -0 "$held" 2>/dev/null; do
    pid=$(pgrep -f "${work//\//.}.program.ruzir\.scr /s" | head -1 || true)
    if [ -n "$pid" ] && now=$(awk '/^VmRSS/ {r = $2} /^VmHWM/ {h = $2} END {print r, h}' \
      "/proc/$pid/status" 2>/dev/null) && [ -n "$now" ]; then
      read -r rss peak <<<"$now"
    fi
    sleep 0.2
  done
  wait "$held" || true
  awk -v r="$rss" -v p="$peak" 'BEGIN { printf "%10.0f%10.0f\n", r / 1024, p / 1024 }'
}

start_private_display 1920x1080
"$WINE" cmd /c exit >/dev/null 2>&1 || true  # the Wine session is up before the first run
echo "show bench: ${1:-$WIN_BUILD/ruzir.scr}, 1920x1080, median of $runs runs"
printf '%-44s%10s%10s\n' 'start (ms)' window picture
for folder in small:'small picture' photos:'24 MP photo' many:'30,000 files, one picture'; do
  settings "${folder%%:*}" 3600 0
  printf '  %-42s%s\n' "${folder#*:}" "$(probe start)"
done
printf '%-44s%10s%10s%10s\n' 'answers over 10 s, photos every 1 s (ms)' longest '>50 ms' asked
for b in 0:'no transition' 2:'vertical slide'; do
  settings photos 1 "${b%%:*}"
  printf '  %-42s%s\n' "${b#*:}" "$(probe answers 10)"
done
printf '%-44s%10s\n' 'key to exit (ms)' exit
settings photos 3600 0
printf '  %-42s%s\n' 'while the first 24 MP photo loads' "$(probe exit-loading)"
settings small 3600 0
printf '  %-42s%s\n' 'while a small picture drifts' "$(probe exit-drift)"
printf '%-44s%10s%10s\n' 'memory, 24 MP photos (MiB)' drift peak
for size in 1920x1080 3840x2160; do
  start_private_display "$size"
  "$WINE" cmd /c exit >/dev/null 2>&1 || true
  drift=$(memory photos 3600 5 | awk '{print $1}')
  peak=$(memory photos 1 12 | awk '{print $2}')
  printf '  %-42s%10s%10s\n' "$size" "$drift" "$peak"
done
"$WINE" reg delete 'HKCU\Software\Zedozud Uravovuv' /f >/dev/null 2>&1 || true

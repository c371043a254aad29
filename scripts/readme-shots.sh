#!/usr/bin/env bash
# Takes the README's pictures under Wine on a private 960 x 540 screen, with
# the sample pictures beside the program:
#   docs/show.png                  the full-screen show, a picture drifting;
#   docs/effect-<name>.gif         one picture change with each effect, from
#                                  screenshots taken in quick succession;
#   docs/setup.png                 the setup program's first page (cancelled
#                                  there: nothing is installed).
# The show runs with a one-second display time and a fixed effect; the stored
# settings it changes are put back at the end.
set -euo pipefail
source "$(dirname "$0")/env.sh"
ensure_prefix
start_private_display 960x540

docs=$ROOT/docs
scr=$WIN_BUILD/ruzir.scr
setup=$BUILD/dist/ruzir-setup.exe
key='HKCU\Software\Zedozud Uravovuv\Ruzir\Settings'
work=$(mktemp -d)

# The stored settings as they were, to put back whatever this run changes.
saved=$work/settings.reg
"$WINE" reg export "$key" "$(winepath -w "$saved" 2>/dev/null)" /y >/dev/null 2>&1 || rm -f "$saved"
restore_settings() {
  local name
  for name in Path Interval Break; do
    "$WINE" reg delete "$key" /v "$name" /f >/dev/null 2>&1 || true
  done
  if [ -f "$saved" ]; then
    "$WINE" reg import "$(winepath -w "$saved" 2>/dev/null)" >/dev/null 2>&1 || true
  fi
  # The server writes the registry out when it ends on its own.
  "$WINESERVER" -w >/dev/null 2>&1 || true
  stop_private_display
  rm -rf "$work"
}
trap restore_settings EXIT

# A 16-bit stored number, little-endian, as REG_BINARY.
set_number() {
  "$WINE" reg add "$key" /v "$1" /t REG_BINARY /d "$(printf '%02x%02x' $(($2 & 255)) $(($2 >> 8)))" /f \
    >/dev/null
}

# Where a frame shows anything but the background's colour (the top-left
# pixel of a still frame): "W H" of that box, "0 0" when nothing shows.
picture_box() {
  /usr/bin/convert "$1" -bordercolor "$2" -border 1 -fuzz 8% -trim \
    -format '%[fx:w > 2 ? w : 0] %[fx:h > 2 ? h : 0]' info: 2>/dev/null
}

# Runs the show with `effect` and captures frames until one change has come
# and gone; leaves them in $work/frames as NNN.png.
capture_change() {
  local effect=$1 frames=$work/frames i
  rm -rf "$frames" && mkdir -p "$frames"
  # With no folder stored, the show's folder is the program's own: the samples.
  "$WINE" reg delete "$key" /v Path /f >/dev/null 2>&1 || true
  set_number Interval 1
  set_number Break "$effect"
  "$WINE" "$scr" /s &
  local show=$!
  # Wait for the first picture, then take about three seconds of frames: a
  # one-second display time and a change of under a second each.
  for _ in $(seq 200); do
    /usr/bin/import -window root "$frames/probe.png"
    [ "$(picture_box "$frames/probe.png" \
      "$(/usr/bin/convert "$frames/probe.png" -format '%[pixel:p{0,0}]' info:)")" != "0 0" ] && break
    sleep 0.05
  done
  for i in $(seq -w 0 69); do
    /usr/bin/import -window root "$frames/$i.png"
  done
  rm -f "$frames/probe.png"
  xdotool key space
  wait "$show" || true
}

# Picks the frames of the first change in $work/frames: two still frames
# before the picture breaks up, the change, and three still frames after it.
# A still picture drifts but keeps its box; while it changes, its pieces
# spread out, leave and come back, and the box changes from frame to frame.
# Prints their paths.
change_frames() {
  local frames=("$work"/frames/*.png)
  local bg box=() i n=${#frames[@]} first=-1 last=-1 screen
  bg=$(/usr/bin/convert "${frames[0]}" -format '%[pixel:p{0,0}]' info:)
  screen=$(/usr/bin/convert "${frames[0]}" -format '%w %h' info:)
  for ((i = 0; i < n; i++)); do
    box+=("$(picture_box "${frames[i]}" "$bg")")
  done
  for ((i = 1; i < n; i++)); do
    if [ "${box[i]}" != "${box[0]}" ]; then
      first=$i
      break
    fi
  done
  [ "$first" -ge 1 ] || return 1
  # Settled: the same box for three frames, a picture's (smaller than the
  # screen, larger than a stray piece).
  for ((i = first + 1; i < n - 2; i++)); do
    local w=${box[i]% *} h=${box[i]#* }
    if [ "${box[i]}" = "${box[i + 1]}" ] && [ "${box[i]}" = "${box[i + 2]}" ] &&
      [ "$w" -gt 32 ] && [ "$h" -gt 32 ] && [ "$w" -lt "${screen% *}" ] && [ "$h" -lt "${screen#* }" ]; then
      last=$i
      break
    fi
  done
  [ "$last" -ge 0 ] || return 1
  local from=$((first > 2 ? first - 2 : 0)) to=$((last + 2 < n - 1 ? last + 2 : n - 1))
  for ((i = from; i <= to; i++)); do
    echo "${frames[i]}"
  done
}

# One change as an animated GIF half the screen's width: the still frames
# at either end held, the change in real time (a frame about every 50 ms).
make_gif() {
  local effect=$1 out=$2 picked=() attempt
  # The next picture is drawn at random and may be the same one again: then
  # another run, for a change that shows two pictures.
  for attempt in 1 2 3; do
    capture_change "$effect"
    mapfile -t picked < <(change_frames) || true
    [ "${#picked[@]}" -ge 4 ] || continue
    local bg
    bg=$(/usr/bin/convert "${picked[0]}" -format '%[pixel:p{0,0}]' info:)
    [ "$(picture_box "${picked[0]}" "$bg")" != "$(picture_box "${picked[-1]}" "$bg")" ] && break
  done
  if [ "${#picked[@]}" -lt 4 ]; then
    echo "No whole picture change in the frames for $out." >&2
    return 1
  fi
  local last=$((${#picked[@]} - 1))
  /usr/bin/convert -delay 80 "${picked[0]}" -delay 5 "${picked[@]:1:last-1}" \
    -delay 120 "${picked[last]}" -scale 480x -fuzz 2% +dither -colors 48 \
    -layers Optimize -loop 0 "$out"
  echo "$out: ${#picked[@]} frames"
}

make_gif 1 "$docs/effect-diffuse.gif"
make_gif 2 "$docs/effect-vertical-slide.gif"
make_gif 3 "$docs/effect-horizontal-slide.gif"
# The show itself: the first still frame of the last run.
/usr/bin/convert "$work/frames/00.png" -strip "$docs/show.png"
echo "$docs/show.png"

# The setup program's first page. Its window is closed from outside before
# any page that installs: nothing is written.
[ -f "$setup" ] || {
  echo "No $setup: run make dist." >&2
  exit 1
}
"$WINE" "$setup" &
installer=$!
window=$(xdotool search --sync --name 'Ruzir セットアップ' | head -1)
sleep 1  # let it paint
eval "$(xdotool getwindowgeometry --shell "$window")"
/usr/bin/import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" \
  +repage -strip "$docs/setup.png"
kill "$installer" 2>/dev/null || true
"$WINESERVER" -k >/dev/null 2>&1 || true
wait "$installer" 2>/dev/null || true
echo "$docs/setup.png"
if [ -e "$WINEPREFIX/drive_c/windows/system32/ruzir.scr" ]; then
  echo "The setup program installed ruzir.scr though it was cancelled." >&2
  exit 1
fi

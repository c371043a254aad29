#!/usr/bin/env bash
# How the full-screen show holds up with camera photos: runs the real show
# under Wine on a virtual screen through ruzir_show_probe, which times it from
# outside, and prints a table. Figures are milliseconds unless said otherwise,
# each the median of three runs:
#   start         until the window is there, and until the first picture is
#                 (the show draws files at random and tries them until one
#                 loads, so with 30,000 empty files the picture's time spreads
#                 widely from run to run);
#   answers       the longest the window's thread took to answer a message,
#                 asked every 5 ms while photos change each second, and how
#                 many answers took over 50 ms (a missed tick of the drift);
#   still screen  how many pairs of consecutive screenshots over 10 s are
#                 alike, while photos change each second with the vertical
#                 slide: the drift moves the picture every 50 ms, so a still
#                 pair is the window's thread holding the screen. Shots are
#                 100 ms apart, or back to back when copying the screen takes
#                 longer (at 1080p under Wine it can: pairs says how many
#                 there were);
#   key to exit   from a key press until the process has ended;
#   memory        the show's resident memory drifting one photo, against its
#                 peak after about ten changes of photos (MiB, one run).
# Usage: show-bench.sh [SCR]   SCR: another build of ruzir.scr to time (it is
#                              copied alone, with the probe that starts it
#                              from beside it, into a folder of its own); the
#                              one built here by default.
#        show-bench.sh OLD NEW  both builds, figure by figure, their runs taken
#                              in turns (old, new, new, old, ...) so that the
#                              machine's other work weighs on both alike; each
#                              value is printed for old and new, with new/old.
set -euo pipefail
source "$(dirname "$0")/../scripts/env.sh"
ensure_prefix
work=$BUILD/show-bench
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

# The builds timed, each in a folder of its own beside the probe: one (the
# argument, or the one built here), or old and new.
if [ $# -ge 2 ]; then
  programs=(program-old program-new)
  scrs=("$1" "$2")
else
  programs=(program)
  scrs=("${1:-$WIN_BUILD/ruzir.scr}")
fi
for b in "${!programs[@]}"; do
  mkdir -p "$work/${programs[b]}"
  cp "${scrs[b]}" "$work/${programs[b]}/ruzir.scr"
  cp "$WIN_BUILD/ruzir_show_probe.exe" "$work/${programs[b]}/"
done

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

# section TITLE COLUMN...: a heading, and the names of the values its rows
# hold. With two builds each value is a row of its own, under old, new and
# new/old.
section() {
  local title=$1
  shift
  columns=("$@")
  if [ ${#programs[@]} -eq 1 ]; then
    printf '%-44s' "$title"
    printf '%10s' "${columns[@]}"
    echo
  else
    printf '%-44s%10s%10s%10s\n' "$title" old new new/old
  fi
}

# row LABEL: prints values[b], each build's values in the order of the
# section's columns ("-" for a value a failed run left out).
row() {
  local i old new
  if [ ${#programs[@]} -eq 1 ]; then
    printf '  %-42s' "$1"
    printf '%10s' ${values[0]}
    echo
    return
  fi
  for i in "${!columns[@]}"; do
    old=$(echo ${values[0]} | awk -v i=$((i + 1)) '{print (i <= NF) ? $i : "-"}')
    new=$(echo ${values[1]} | awk -v i=$((i + 1)) '{print (i <= NF) ? $i : "-"}')
    printf '  %-42s%10s%10s%10s\n' "$1, ${columns[i]}" "$old" "$new" \
      "$(awk -v o="$old" -v n="$new" 'BEGIN {
        if (o == "-" || n == "-" || o + 0 == 0) print "-"; else printf "%.2f", n / o }')"
  done
}

# probe LABEL MODE [SECONDS]: runs the probe $runs times on each build, the
# builds in turns, and prints the row of the medians of each figure the probe
# prints ("name value" pairs); a failed run prints none.
probe() {
  local label=$1 round b k
  shift
  local -a out=() order
  for round in $(seq $runs); do
    # Old first in one round, new first in the next: neither always runs
    # right after the other.
    order=("${!programs[@]}")
    [ $((round % 2)) -eq 1 ] || order=($(printf '%s\n' "${order[@]}" | tac))
    for b in "${order[@]}"; do
      # (Wine's console ends the probe's lines with a carriage return.)
      out[b]+=$("$WINE" "$work/${programs[b]}/ruzir_show_probe.exe" "$@" | tr -d '\r' || true)$'\n'
    done
  done
  values=()
  for b in "${!programs[@]}"; do
    values[b]=$(for k in $(seq 2 2 $((2 * ${#columns[@]}))); do
      echo "${out[b]}" | awk -v k=$k 'NF >= k {print $k}' | sort -n |
        awk '{v[NR] = $1} END {if (NR) printf "%s ", v[int((NR + 1) / 2)]}'
    done)
  done
  row "$label"
}

# memory PROGRAM FOLDER INTERVAL SECONDS: the show's last and peak resident
# memory (MiB) while the probe of PROGRAM holds it SECONDS after its first
# picture; "- -" when the show was never seen running.
memory() {
  settings "$2" "$3" 0
  "$WINE" "$work/$1/ruzir_show_probe.exe" hold "$4" >/dev/null &
  local held=$! pid rss=- peak=- now
  while kill -0 "$held" 2>/dev/null; do
    pid=$(pgrep -f "${work//\//.}.$1.ruzir\.scr /s" | head -1 || true)
    # An ending process lists no memory: its last figures stand.
    if [ -n "$pid" ] && now=$(awk '/^VmRSS/ {r = $2} /^VmHWM/ {h = $2}
      END {if (r != "" && h != "") print r, h}' "/proc/$pid/status" 2>/dev/null) &&
      [ -n "$now" ]; then
      read -r rss peak <<<"$now"
    fi
    sleep 0.2
  done
  wait "$held" || true
  awk -v r="$rss" -v p="$peak" 'BEGIN {
    if (r == "-") print "- -"; else printf "%.0f %.0f\n", r / 1024, p / 1024 }'
}

start_private_display 1920x1080
"$WINE" cmd /c exit >/dev/null 2>&1 || true  # the Wine session is up before the first run
if [ ${#programs[@]} -eq 1 ]; then
  echo "show bench: ${scrs[0]}, 1920x1080, median of $runs runs"
else
  echo "show bench: old ${scrs[0]}, new ${scrs[1]}, 1920x1080, median of $runs runs each"
fi
section 'start (ms)' window picture
for folder in small:'small picture' photos:'24 MP photo' many:'30,000 files, one picture'; do
  settings "${folder%%:*}" 3600 0
  probe "${folder#*:}" start
done
section 'answers over 10 s, photos every 1 s (ms)' longest '>50 ms' asked
for b in 0:'no transition' 2:'vertical slide'; do
  settings photos 1 "${b%%:*}"
  probe "${b#*:}" answers 10
done
section 'still screen over 10 s, photos every 1 s' still pairs
settings photos 1 2
probe 'vertical slide' still 10
section 'key to exit (ms)' exit
settings photos 3600 0
probe 'while the first 24 MP photo loads' exit-loading
settings small 3600 0
probe 'while a small picture drifts' exit-drift
section 'memory, 24 MP photos (MiB)' drift peak
for size in 1920x1080 3840x2160; do
  stop_private_display  # a new screen takes the place of the one before
  start_private_display "$size"
  "$WINE" cmd /c exit >/dev/null 2>&1 || true
  drift=() peak=()
  for b in "${!programs[@]}"; do drift[b]=$(memory "${programs[b]}" photos 3600 5 | awk '{print $1}'); done
  for b in "${!programs[@]}"; do peak[b]=$(memory "${programs[b]}" photos 1 12 | awk '{print $2}'); done
  values=()
  for b in "${!programs[@]}"; do values[b]="${drift[b]} ${peak[b]}"; done
  row "$size"
done
"$WINE" reg delete 'HKCU\Software\Zedozud Uravovuv' /f >/dev/null 2>&1 || true

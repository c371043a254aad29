#!/usr/bin/env bash
# Runs the full-screen show under Wine on the sample pictures beside the
# program. With a display the user watches it and ends it as usual. Without
# one it runs on a private virtual screen for a few seconds, saves
# build/show.png, ends the show with a key press as a user would, and checks
# that it ended well and cleared its run flag.
set -euo pipefail
source "$(dirname "$0")/env.sh"
ensure_prefix

scr="$WIN_BUILD/ruzir.scr"
# With no folder stored, the show's folder is the program's own: the samples.
"$WINE" reg delete 'HKCU\Software\Zedozud Uravovuv\Ruzir\Settings' /v Path /f >/dev/null 2>&1 || true
if [ -n "${DISPLAY:-}" ]; then
  exec "$WINE" "$scr" /s
fi

start_private_display 1280x720
"$WINE" "$scr" /s &
show=$!
sleep 6
/usr/bin/import -window root "$BUILD/show.png"
echo "Screenshot: $BUILD/show.png"
xdotool key space

for _ in $(seq 100); do
  kill -0 "$show" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$show" 2>/dev/null; then
  echo "The show did not end on a key press." >&2
  exit 1
fi
# A message box instead of the show (no picture, no settings) ends with 1.
if ! wait "$show"; then
  echo "The show did not run: see $BUILD/show.png." >&2
  exit 1
fi
flag=$("$WINE" reg query 'HKCU\Software\Zedozud Uravovuv\Ruzir\Flags' /v Active 2>/dev/null |
  tr -d '\r' | awk '$1 == "Active" {print $3}')
if [ "$flag" != "0000" ]; then
  echo "The show ended but left its run flag at '$flag'." >&2
  exit 1
fi
echo "The show ended on a key press and cleared its run flag."

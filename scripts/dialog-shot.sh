#!/usr/bin/env bash
# Takes a screenshot of the settings dialog as users see it (Japanese locale
# and font), on a private virtual screen, and saves it as
# docs/settings-dialog.png. The dialog shows the prefix's stored settings,
# or the defaults on a fresh prefix.
set -euo pipefail
source "$(dirname "$0")/env.sh"
ensure_prefix
start_private_display 800x600

"$WINE" "$WIN_BUILD/ruzir.scr" &
program=$!
window=$(xdotool search --sync --name 'スクリーンセーバーの設定' | head -1)
sleep 1  # let it paint
eval "$(xdotool getwindowgeometry --shell "$window")"
# The frame Wine draws lies around the client window xdotool reports.
/usr/bin/import -window root -crop "$((WIDTH + 6))x$((HEIGHT + 28))+$((X - 3))+$((Y - 25))" \
  "$ROOT/docs/settings-dialog.png"
xdotool key Escape
wait "$program" || true
echo "Screenshot: docs/settings-dialog.png"

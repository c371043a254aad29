#!/usr/bin/env bash
# Copies started at the same instant: starts five copies of the full-screen
# show together, TRIALS times (15 unless given), under Wine on a virtual
# screen, and prints how many shows each trial left running. With the
# single-copy rule sound, every trial leaves exactly one.
set -euo pipefail
source "$(dirname "$0")/../scripts/env.sh"
ensure_prefix
start_private_display 1024x768
cd "$WIN_BUILD"
"$WINE" reg delete 'HKCU\Software\Zedozud Uravovuv' /f >/dev/null 2>&1 || true
"$WINE" cmd /c exit >/dev/null 2>&1 || true  # the Wine session is up before the first trial
races=0
for _ in $(seq "${1:-15}"); do
  copies=()
  for _ in 1 2 3 4 5; do
    "$WINE" ./ruzir.scr /s &
    copies+=($!)
  done
  sleep 6
  running=$(pgrep -fc 'ruzir.scr /s' || true)
  echo -n "$running "
  [ "$running" -eq 1 ] || races=$((races + 1))
  pkill -f 'ruzir.scr /s' || true
  wait "${copies[@]}" 2>/dev/null || true
done
echo
echo "start race: $races of ${1:-15} trials left more or fewer than one show"

#!/usr/bin/env bash
# End-to-end test of the setup program under Wine: a silent install puts the
# exact ruzir.scr into System32, selects it and registers the uninstaller;
# the installed saver shows and ends on a key; a second install replaces the
# file; a silent uninstall leaves no file, selection (in whatever case it is
# spelt), entry or settings. Another install keeps a stored empty folder, and
# its uninstall keeps another saver's selection.
# Prints one line per check and ends with "N passed, N failed".
# Expects scripts/env.sh sourced, the prefix made and a display started.
set -uo pipefail
source "$(dirname "$0")/env.sh"

setup=$BUILD/dist/ruzir-setup.exe
system32=$WINEPREFIX/drive_c/windows/system32
installed=$system32/ruzir.scr
uninstaller="$WINEPREFIX/drive_c/Program Files/Ruzir/uninstall.exe"
desktop='HKCU\Control Panel\Desktop'
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ruzir'
settings='HKCU\Software\Zedozud Uravovuv\Ruzir'
passed=0
failed=0

check() {
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $name"
  fi
}

# The data of one registry value as `reg query` prints it ("" when missing).
reg_value() {
  "$WINE" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
reg_key_exists() { "$WINE" reg query "$1" >/dev/null 2>&1; }
stored_empty() { "$WINE" reg query "$1" /v "$2" >/dev/null 2>&1 && [ -z "$(reg_value "$1" "$2")" ]; }
equals() { [ "$1" = "$2" ] || { echo "  got '$1', want '$2'"; return 1; }; }

# Polls until a condition holds, for at most ten seconds.
wait_until() {
  local _
  for _ in $(seq 100); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# A run before this one may have left an install behind.
rm -f "$installed" "$uninstaller"
"$WINE" reg delete "$entry" /f >/dev/null 2>&1
"$WINE" reg delete "$desktop" /v SCRNSAVE.EXE /f >/dev/null 2>&1
"$WINE" reg delete "$settings" /f >/dev/null 2>&1

install() { "$WINE" "$setup" /S; }
installed_as_built() { cmp -s "$installed" "$WIN_BUILD/ruzir.scr"; }

check "silent install succeeds" install
check "System32 holds the built ruzir.scr" installed_as_built
check "the saver is selected" equals "$(reg_value "$desktop" SCRNSAVE.EXE)" 'C:\windows\system32\ruzir.scr'
check "the screen saver is on" equals "$(reg_value "$desktop" ScreenSaveActive)" 1
for expected in "DisplayName=Ruzir" "DisplayVersion=1.0.0" "Publisher=Zedozud Uravovuv" \
  'UninstallString="C:\Program Files\Ruzir\uninstall.exe"' \
  'QuietUninstallString="C:\Program Files\Ruzir\uninstall.exe" /S' \
  "NoModify=0x1" "NoRepair=0x1"; do
  check "entry $expected" equals "$(reg_value "$entry" "${expected%%=*}")" "${expected#*=}"
done
check "entry EstimatedSize is set" test -n "$(reg_value "$entry" EstimatedSize)"
check "the uninstaller is written" test -f "$uninstaller"

# The installed saver shows the installed sample pictures full screen: its
# own folder, System32, holds none.
check "the user's folder is the sample pictures" \
  equals "$(reg_value "$settings\\Settings" Path)" 'C:\Program Files\Ruzir\Pictures'
check "the sample pictures are installed" test -f "${uninstaller%/*}/Pictures/dusk-hills.jpg"
screen=$(xdotool getdisplaygeometry | tr ' ' x)
show_window() {
  local w
  for w in $(xdotool search --onlyvisible --classname 'ruzir.scr' 2>/dev/null); do
    [ "$(xdotool getwindowgeometry "$w" | awk '/Geometry/ { print $2 }')" = "$screen" ] && return 0
  done
  return 1
}
start_saver() {
  (cd "$system32" && "$WINE" 'C:\windows\system32\ruzir.scr' /s) &
  saver=$!
}
saver_ended() { ! kill -0 "$saver" 2>/dev/null; }
end_saver() {
  kill "$saver" 2>/dev/null
  wait "$saver" 2>/dev/null
}

# It ends on a key.
start_saver
check "the installed saver shows" wait_until show_window
xdotool key space
check "the installed saver ends on a key" wait_until saver_ended
end_saver

# A second install over the first replaces the file.
echo stale >"$installed"
check "a second install succeeds" install
check "the second install replaces the file" installed_as_built

# The uninstall closes a running show first. It copies itself away and
# returns at once: wait for its copy's work. The selection names the saver
# as older Windows stored it, in capitals.
start_saver
check "the saver shows again" wait_until show_window
"$WINE" reg add "$desktop" /v SCRNSAVE.EXE /d 'C:\WINDOWS\SYSTEM32\RUZIR.SCR' /f >/dev/null 2>&1
uninstall() {
  "$WINE" "$uninstaller" /S
  uninstalled() { [ ! -e "$uninstaller" ] && ! reg_key_exists "$entry"; }
  wait_until uninstalled
}
check "silent uninstall ends" uninstall
check "the uninstall closes the running saver" wait_until saver_ended
end_saver
check "the file is gone" test ! -e "$installed"
check "the program folder is gone" test ! -e "${uninstaller%/*}"
check "the selection is gone" equals "$(reg_value "$desktop" SCRNSAVE.EXE)" ""
check "the settings are gone" test -z "$(reg_key_exists "$settings" && echo left)"
check "the empty company key is gone" \
  test -z "$(reg_key_exists 'HKCU\Software\Zedozud Uravovuv' && echo left)"
check "the screen saver is off" equals "$(reg_value "$desktop" ScreenSaveActive)" 0

# A stored empty folder is the user's (the root of the current drive); a
# saver of another name that ends like this one's is another saver.
"$WINE" reg add "$settings\\Settings" /v Path /d '' /f >/dev/null 2>&1
check "another install succeeds" install
check "a stored empty folder stays" stored_empty "$settings\\Settings" Path
"$WINE" reg add "$desktop" /v SCRNSAVE.EXE /d 'C:\Savers\myruzir.scr' /f >/dev/null 2>&1
check "another uninstall ends" uninstall
check "another saver's selection stays" equals "$(reg_value "$desktop" SCRNSAVE.EXE)" 'C:\Savers\myruzir.scr'
check "the screen saver stays on" equals "$(reg_value "$desktop" ScreenSaveActive)" 1

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

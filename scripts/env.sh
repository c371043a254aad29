# Sourced by the scripts: where things are and how Wine runs here.
# A project-local 64-bit Wine prefix in the build folder, Japanese locale
# (code page 932) so texts show as users see them, and no Mono or Gecko
# installers.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=$ROOT/build
WIN_BUILD=$BUILD/win
export WINEPREFIX=$BUILD/wineprefix
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

# Creates the prefix and applies the project's settings to it, once (the
# stamp names the settings' version, so a changed setting reaches old prefixes).
ensure_prefix() {
  local stamp="$WINEPREFIX/.ruzir-prefix-3"
  [ -f "$stamp" ] && return 0
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix in $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    "$WINE" wineboot -i >/dev/null 2>&1 || true
  fi
  # No window manager runs on the virtual screen: Wine must not wait for one
  # to take windows away (two seconds for every closed top-level window).
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # Japanese Windows draws dialogs in MS UI Gothic, a proportional font; its
  # nearest here is IPA PGothic (Wine would otherwise fall back to the
  # monospaced IPA Gothic, whose wider katakana clip the captions).
  "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /d 'IPAPGothic' /f \
    >/dev/null 2>&1
  "$WINESERVER" -w
  touch "$stamp"
}

# Ends any Wine session (it keeps the display it started with) and prints
# the first free display number.
free_display_number() {
  local n
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
  for n in $(seq 90 130); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { echo "$n"; return 0; }
  done
  echo "no free display number" >&2
  return 1
}

# Waits until the X server just started on display $1 takes connections,
# then makes it this shell's display until the shell ends.
use_display() {
  for _ in $(seq 200); do
    [ -e "/tmp/.X11-unix/X$1" ] && break
    sleep 0.05
  done
  export DISPLAY=":$1"
  trap 'stop_private_display' EXIT
}

# Starts a private virtual display of the given size and exports DISPLAY.
# It ends with the calling shell.
start_private_display() {
  local size=${1:-1024x768} n
  n=$(free_display_number) || return 1
  Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  use_display "$n"
}

stop_private_display() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  [ -n "${TWO_MONITOR_DIR:-}" ] && rm -rf "$TWO_MONITOR_DIR"
  TWO_MONITOR_DIR=
  XVFB_PID=
}

# Starts a private X server with two monitors side by side and exports
# DISPLAY: the primary `primary` (1280x1024) at 0,0 and `second` (1024x768)
# right of it (none: the primary alone). Xvfb cannot do this (its heads all sit at 0,0); the dummy
# driver's RandR outputs can. `xrandr --output DUMMY1 --off` takes the second
# one away. It ends with the calling shell.
start_two_monitor_display() {
  local primary=${1:-1280x1024} second=${2:-1024x768} n
  n=$(free_display_number) || return 1
  TWO_MONITOR_DIR=$(mktemp -d)
  cat >"$TWO_MONITOR_DIR/xorg.conf" <<'CONF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
EndSection
Section "Device"
  Identifier "card"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "card"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 6144 2160
  EndSubSection
EndSection
CONF
  Xorg ":$n" -config "$TWO_MONITOR_DIR/xorg.conf" -noreset -nolisten tcp \
    -logfile "$TWO_MONITOR_DIR/xorg.log" >/dev/null 2>&1 &
  XVFB_PID=$!
  use_display "$n"
  set_monitor DUMMY0 "$primary" 0x0 --primary || return
  [ "$second" = none ] || set_monitor DUMMY1 "$second" "${primary%x*}x0"
}

# Switches an output of the dummy server on at `size`, at `pos`, adding the
# mode to it first if it lacks it (and making the mode from kModelines when
# the server has none of that size).
declare -A kModelines=(
  [3840x2160]="262.75 3840 3888 3920 4000 2160 2163 2168 2191 +hsync -vsync"  # 30 Hz, reduced blanking
)
set_monitor() {
  local output=$1 size=$2 pos=$3
  shift 3
  if ! xrandr --output "$output" --mode "$size" --pos "$pos" "$@" 2>/dev/null; then
    [ -n "${kModelines[$size]:-}" ] && xrandr --newmode "$size" ${kModelines[$size]} 2>/dev/null
    xrandr --addmode "$output" "$size" &&
      xrandr --output "$output" --mode "$size" --pos "$pos" "$@" || return
  fi
  # A full query has the server probe its outputs again; until one does, Wine
  # reads the layout from before the change and sees one monitor.
  xrandr >/dev/null
}

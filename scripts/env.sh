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

# Starts a private virtual display of the given size and exports DISPLAY.
# It ends with the calling shell.
start_private_display() {
  local size=${1:-1024x768} n
  # A Wine session keeps the display it started with: end any running one.
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
  for n in $(seq 90 130); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.05
    done
    export DISPLAY=":$n"
    trap 'stop_private_display' EXIT
    return 0
  done
  echo "no free display number" >&2
  return 1
}

stop_private_display() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=
}

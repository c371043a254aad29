#!/usr/bin/env bash
# CPU cost of the drifting show: runs the real full-screen show under Wine on
# a virtual screen of each size, lets it settle, then reads the CPU time of
# the show's process (and of the X server that puts its frames on screen)
# over a stretch of ten seconds, 200 ticks of 50 ms, and the show's peak
# resident memory. No picture changes during the measurement (Interval 3600).
# A size A+B runs on the X server of two monitors side by side, A the primary
# (A+none: A alone on that server, the fair comparison for the X server's
# share). SCR=another build of ruzir.scr measures that one instead.
set -euo pipefail
source "$(dirname "$0")/../scripts/env.sh"
ensure_prefix
scr="${SCR:-$WIN_BUILD/ruzir.scr}"  # SCR=another build to measure
seconds=10
hz=$(getconf CLK_TCK)
key='HKCU\Software\Zedozud Uravovuv\Ruzir\Settings'

cpu_ticks() {  # utime + stime of a process, in clock ticks
  awk '{print $14 + $15}' "/proc/$1/stat"
}

for size in "${@:-1920x1080 3840x2160 1920x1080+none 3840x2160+none 3840x2160+1920x1080}"; do
  for s in $size; do
    case $s in
      *+*) start_two_monitor_display "${s%+*}" "${s#*+}" ;;
      *) start_private_display "$s" ;;
    esac
    "$WINE" reg add "$key" /v Interval /t REG_BINARY /d 100e /f >/dev/null
    "$WINE" "$scr" /s &
    show=$!
    sleep 3
    show0=$(cpu_ticks "$show")
    x0=$(cpu_ticks "$XVFB_PID")
    sleep "$seconds"
    show1=$(cpu_ticks "$show")
    x1=$(cpu_ticks "$XVFB_PID")
    peak=$(awk '/^VmHWM/ {print $2}' "/proc/$show/status")
    xdotool key space
    wait "$show" || true
    "$WINE" reg delete "$key" /v Interval /f >/dev/null 2>&1 || true
    stop_private_display
    awk -v s="$s" -v a=$((show1 - show0)) -v x=$((x1 - x0)) -v hz="$hz" -v t="$seconds" \
      -v m="$peak" 'BEGIN {
      printf "%s: show %.1f%% of one core (%.2f ms per tick), X server %.1f%%, show peak memory %.0f MiB\n",
        s, 100 * a / hz / t, 1000 * a / hz / (t * 20), 100 * x / hz / t, m / 1024 }'
  done
done

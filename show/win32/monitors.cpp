#include "show/win32/monitors.h"

#include <windows.h>

#include "support/win32/system_info.h"

namespace ruzir::win32 {
namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (::GetMonitorInfoW(monitor, &info)) {
    const RECT& r = info.rcMonitor;
    reinterpret_cast<std::vector<MonitorArea>*>(list)->push_back(
        {{r.left, r.top, r.right, r.bottom},
         MonitorTwipsScale(monitor),
         (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  }
  return TRUE;
}

}  // namespace

std::vector<MonitorArea> SystemMonitors() {
  std::vector<MonitorArea> monitors;
  ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

CursorSight LookAtCursor() {
  CursorSight sight;
  POINT p{};
  ::GetCursorPos(&p);
  sight.cursor = {p.x, p.y};
  for (const MonitorArea& monitor : SystemMonitors()) sight.monitors.push_back(monitor.rect);
  return sight;
}

}  // namespace ruzir::win32

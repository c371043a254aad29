// What the program asks the system about itself: the path of its own module,
// a steady clock, and the scale of the screen, and of each monitor, it draws on.
#pragma once

#include <windows.h>
#include <shellscalingapi.h>

#include <string>

#include "support/units.h"
#include "support/win32/handles.h"

namespace ruzir::win32 {

// The full path of the running module, at any length; empty on failure.
inline std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // truncated: long path, try again
  }
}

// Seconds since the system started: a clock that keeps going across midnight
// and clock adjustments.
inline double MonotonicSeconds() noexcept {
  return static_cast<double>(::GetTickCount64()) / 1000.0;
}

// Twips per pixel on the screen, from its logical DPI; 96 DPI if unknown.
inline TwipsScale ScreenTwipsScale() noexcept {
  const auto screen = GetScreenDc();
  if (!screen) return {};
  return TwipsScale::ForDpi(::GetDeviceCaps(screen.get(), LOGPIXELSX),
                            ::GetDeviceCaps(screen.get(), LOGPIXELSY));
}

// Twips per pixel on one monitor, from its own DPI (the program is aware of
// each monitor's); the screen's if the system cannot say.
inline TwipsScale MonitorTwipsScale(HMONITOR monitor) noexcept {
  UINT dpiX = 0;
  UINT dpiY = 0;
  if (::GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &dpiX, &dpiY) != S_OK || !dpiX || !dpiY) {
    return ScreenTwipsScale();
  }
  return TwipsScale::ForDpi(static_cast<int>(dpiX), static_cast<int>(dpiY));
}

}  // namespace ruzir::win32

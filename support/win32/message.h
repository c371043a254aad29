// The program's message boxes: warning icon, one OK button, captioned
// "Ruzir".
//
// A message of the settings dialog is owned by the dialog, which the box
// disables while it is up: nothing behind it can be clicked, and it closes
// with the dialog. A message with no owner (start-up, the show) is topmost,
// so that one raised while the full-screen show covers the screen is not
// hidden behind it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "support/texts.h"

namespace ruzir::win32 {

inline void ShowWarning(std::wstring_view text, HWND owner = nullptr) noexcept {
  const std::wstring message(text);
  const std::wstring caption(kAppTitle);
  const UINT placement = owner ? 0u : static_cast<UINT>(MB_TOPMOST | MB_SETFOREGROUND);
  ::MessageBoxW(owner, message.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING | placement);
}

}  // namespace ruzir::win32

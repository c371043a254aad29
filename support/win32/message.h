// The program's message boxes: warning icon, one OK button, captioned
// "Ruzir". Topmost, so a message raised while the full-screen show covers
// the screen is not hidden behind it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "support/texts.h"

namespace ruzir::win32 {

inline void ShowWarning(std::wstring_view text) noexcept {
  const std::wstring message(text);
  const std::wstring caption(kAppTitle);
  ::MessageBoxW(nullptr, message.c_str(), caption.c_str(),
                MB_OK | MB_ICONWARNING | MB_TOPMOST | MB_SETFOREGROUND);
}

}  // namespace ruzir::win32

#include "show/win32/show_window.h"

#include "support/win32/handles.h"

namespace ruzir::win32 {

ShowWindow::ShowWindow(const MonitorArea& monitor, std::function<void(Input)> onInput)
    : monitor_(monitor), onInput_(std::move(onInput)) {}

bool ShowWindow::Create(HINSTANCE instance) noexcept {
  const PixelRect& area = monitor_.rect;
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  persistent_ = DibSurface::Create(width, height);
  frame_ = DibSurface::Create(width, height);
  if (!persistent_ || !frame_) return false;
  // No taskbar button or Alt+Tab entry.
  return RegisterWindowClass(instance, kClassName, ::LoadCursorW(nullptr, IDC_ARROW)) &&
         CreateHwnd(instance, kClassName, WS_EX_TOOLWINDOW, WS_POPUP, area.left, area.top, width,
                    height, nullptr);
}

void ShowWindow::TakeDesktopSnapshot() noexcept {
  const auto source = GetWindowDc(::GetDesktopWindow());
  if (!source) return;
  ::BitBlt(persistent_->dc(), 0, 0, persistent_->width(), persistent_->height(), source.get(),
           monitor_.rect.left, monitor_.rect.top, SRCCOPY);
}

void ShowWindow::ShowOnTop() noexcept {
  ::SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ::ShowWindow(hwnd(), SW_SHOW);
  ::UpdateWindow(hwnd());
}

void ShowWindow::TakeKeyboard() noexcept {
  ::ShowWindow(hwnd(), SW_SHOW);
  ::SetForegroundWindow(hwnd());
}

void ShowWindow::Repaint(const std::vector<PixelRect>& areas, bool now) noexcept {
  for (const PixelRect& area : areas) {
    const RECT dirty{area.left, area.top, area.right, area.bottom};
    ::InvalidateRect(hwnd(), &dirty, FALSE);
  }
  if (now && !areas.empty()) ::UpdateWindow(hwnd());
}

LRESULT ShowWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_PAINT:
      PaintFromSurface(hwnd(), *frame_);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the blit of WM_PAINT covers every pixel
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      onInput_(Input::Press);
      return 0;
    case WM_MOUSEMOVE:
      onInput_(Input::Move);
      return 0;
    case WM_CLOSE:
      onInput_(Input::Close);
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace ruzir::win32

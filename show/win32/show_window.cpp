#include "show/win32/show_window.h"

#include "support/win32/handles.h"
#include "support/win32/message.h"

namespace ruzir::win32 {
namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1PeriodMs = 50;

TwipsScale ScreenTwipsScale() noexcept {
  const auto screen = GetScreenDc();
  if (!screen) return {};
  return TwipsScale::ForDpi(::GetDeviceCaps(screen.get(), LOGPIXELSX),
                            ::GetDeviceCaps(screen.get(), LOGPIXELSY));
}

}  // namespace

ShowWindow::ShowWindow(const LoadedSettings& loaded, KeyStore& store, RunMode mode,
                       HWND previewParent)
    : loaded_(loaded), store_(store), mode_(mode), previewParent_(previewParent) {}

bool ShowWindow::Load(HINSTANCE instance) noexcept {
  scale_ = ScreenTwipsScale();

  // The window's size in twips, the unit of every placement on it: the
  // screen's, or the preview pane's. Whole pixels survive the round trip.
  float widthTwips = 0;
  float heightTwips = 0;
  if (IsFullScreen()) {
    widthTwips = TwipsFromPixels(::GetSystemMetrics(SM_CXSCREEN), scale_.x);
    heightTwips = TwipsFromPixels(::GetSystemMetrics(SM_CYSCREEN), scale_.y);
  } else {
    RECT pane{};
    ::GetWindowRect(previewParent_, &pane);
    widthTwips = TwipsFromPixels(pane.right - pane.left, scale_.x);
    heightTwips = TwipsFromPixels(pane.bottom - pane.top, scale_.y);
  }
  const int width = PixelsFromTwips(widthTwips, scale_.x);
  const int height = PixelsFromTwips(heightTwips, scale_.y);

  picture_ = DibSurface::Create(width, height);
  if (!picture_) return false;
  Fill(picture_->view(), PixelFromColor(loaded_.settings.BackColor));

  if (!RegisterWindowClass(instance, kClassName, ::LoadCursorW(nullptr, IDC_ARROW))) return false;
  // Full screen: no taskbar button or Alt+Tab entry. The preview is born a
  // hidden child of the pane, so it never exists as a top-level window that
  // could flash up or take the activation from the host's dialog.
  const bool created = IsFullScreen() ? CreateHwnd(instance, kClassName, WS_EX_TOOLWINDOW, WS_POPUP,
                                                   0, 0, width, height, nullptr)
                                      : CreateHwnd(instance, kClassName, 0, WS_CHILD, 0, 0, width,
                                                   height, previewParent_);
  if (!created) return false;

  if (IsFullScreen()) {
    ::ShowCursor(FALSE);
    cursorHidden_ = true;
  }
  return true;
}

void ShowWindow::TakeDesktopSnapshot() noexcept {
  const HWND desktop = ::GetDesktopWindow();
  const auto source = GetWindowDc(desktop);
  if (!source) return;
  const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  const HDC target = picture_->dc();
  if (IsFullScreen()) {
    ::BitBlt(target, 0, 0, screenWidth, screenHeight, source.get(), 0, 0, SRCCOPY);
  } else {
    // Averaging keeps the shrunken desktop legible; the default mode drops
    // whole rows and columns.
    ::SetStretchBltMode(target, HALFTONE);
    ::SetBrushOrgEx(target, 0, 0, nullptr);
    ::StretchBlt(target, 0, 0, picture_->width(), picture_->height(), source.get(), 0, 0,
                 screenWidth, screenHeight, SRCCOPY);
  }
  ::InvalidateRect(hwnd(), nullptr, FALSE);
  ::UpdateWindow(hwnd());
}

void ShowWindow::MakeTopmost() noexcept {
  ::SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void ShowWindow::EmbedInPreviewPane() noexcept {
  auto style = static_cast<DWORD>(::GetWindowLongW(previewParent_, GWL_STYLE)) | 0x5u;
  // Whatever the pane's own style, this window must be a child (or SetParent
  // leaves it a top-level window) and must become visible only when shown.
  style = (style | WS_CHILD) & ~static_cast<DWORD>(WS_POPUP | WS_VISIBLE);
  ::SetWindowLongW(hwnd(), GWL_STYLE, static_cast<LONG>(style));
  ::SetParent(hwnd(), previewParent_);
  ::SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void ShowWindow::Show() noexcept {
  ::ShowWindow(hwnd(), IsFullScreen() ? SW_SHOW : SW_SHOWNOACTIVATE);
  ::UpdateWindow(hwnd());
  // Keys must reach the show at once, whatever had the focus before.
  if (IsFullScreen()) ::SetForegroundWindow(hwnd());
}

void ShowWindow::EnableTimer1() noexcept { ::SetTimer(hwnd(), kTimer1, kTimer1PeriodMs, nullptr); }

LRESULT ShowWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the blit of WM_PAINT covers every pixel
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      OnUserInput();
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove();
      return 0;
    case WM_TIMER:
      if (wParam == kTimer1) OnTimer1();
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

void ShowWindow::OnPaint() noexcept {
  const unique_hdc_paint paint(hwnd());
  const RECT& dirty = paint.dirty();
  ::BitBlt(paint.get(), dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top,
           picture_->dc(), dirty.left, dirty.top, SRCCOPY);
}

void ShowWindow::OnUserInput() noexcept {
  if (IsFullScreen()) Close();
}

void ShowWindow::OnMouseMove() noexcept {
  if (!IsFullScreen()) return;
  const bool moved = cursor_.HasMoved([] {
    POINT p{};
    ::GetCursorPos(&p);
    return ScreenPoint{p.x, p.y};
  });
  if (moved) Close();
}

void ShowWindow::OnTimer1() noexcept {
  // The drifting picture and its changes are driven from here once the show
  // has pictures; until then the show is the background alone.
}

void ShowWindow::Close() noexcept {
  if (!closing_) ::DestroyWindow(hwnd());
}

void ShowWindow::OnDestroy() noexcept {
  if (closing_) return;
  closing_ = true;
  ::KillTimer(hwnd(), kTimer1);
  if (cursorHidden_) {
    ::ShowCursor(TRUE);
  } else if (const HWND owner = ::GetWindow(hwnd(), GW_OWNER)) {
    ::PostMessageW(owner, WM_CLOSE, 1, 1);
  }
  if (!ClearRunFlag(store_)) {
    ShowWarning(kLoadFailedText);
    ::ExitProcess(1);
  }
  // The show is over: end at once, so no timer tick or queued input runs.
  ::ExitProcess(0);
}

}  // namespace ruzir::win32

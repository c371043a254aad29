#include "show/win32/preview_window.h"

#include "show/slide.h"
#include "show/win32/picture_decoder.h"
#include "show/win32/slide_loader.h"
#include "support/win32/handles.h"
#include "support/win32/system_info.h"

namespace ruzir::win32 {

PreviewWindow::PreviewWindow(const Settings& settings, HWND pane, std::function<void()> onEnd)
    : settings_(settings), pane_(pane), onEnd_(std::move(onEnd)) {}

PreviewWindow::LoadResult PreviewWindow::Load(HINSTANCE instance, const ImageList& images,
                                              UniformSource& random) noexcept {
  // The pane's size, through twips at the screen's scale as every placement
  // of the show: whole pixels survive the round trip.
  const TwipsScale scale = ScreenTwipsScale();
  RECT pane{};
  ::GetWindowRect(pane_, &pane);
  const int width = PixelsFromTwips(TwipsFromPixels(pane.right - pane.left, scale.x), scale.x);
  const int height = PixelsFromTwips(TwipsFromPixels(pane.bottom - pane.top, scale.y), scale.y);
  std::optional<Slide> slide;
  try {
    const std::optional<PictureDecoder> decoder = PictureDecoder::Create();
    if (decoder) {
      ImagePicker picker(images.Count());
      picker.PickAndLoad(random, [&](std::int16_t index) {
        slide = LoadSlide(*decoder, images.File(index), height, scale);
        return slide.has_value();
      });
    }
  } catch (...) {
    return LoadResult::Failed;  // out of memory
  }
  if (!slide) return LoadResult::NoPicture;

  persistent_ = DibSurface::Create(width, height);
  frame_ = DibSurface::Create(width, height);
  if (!persistent_ || !frame_) return LoadResult::Failed;
  composer_ = FrameComposer(persistent_->view(), frame_->view(), [] { ::GdiFlush(); });
  Fill(persistent_->view(), PixelFromColor(settings_.BackColor));
  composer_.Touch({0, 0, width, height});
  picture_ = std::move(slide->picture);
  composer_.PutPicture(picture_ ? picture_->view() : SurfaceView{}, slide->size);
  composer_.Move(CentredPlacement(slide->size, composer_.size(), scale));
  // With after-images the picture itself is never shown, only stamped.
  if (settings_.Gost == 1) {
    composer_.StampAfterImage();
  } else {
    composer_.SetVisible(true);
  }
  Present();

  // Born a hidden child of the pane, it never exists as a top-level window
  // that could flash up or take the activation from the host's dialog.
  if (!RegisterWindowClass(instance, kClassName, ::LoadCursorW(nullptr, IDC_ARROW)) ||
      !CreateHwnd(instance, kClassName, 0, WS_CHILD, 0, 0, width, height, pane_)) {
    return LoadResult::Failed;
  }
  return LoadResult::Loaded;
}

void PreviewWindow::TakeDesktopSnapshot() noexcept {
  const auto source = GetWindowDc(::GetDesktopWindow());
  if (!source) return;
  const HDC target = persistent_->dc();
  // Averaging keeps the shrunken desktop legible; the default mode drops
  // whole rows and columns.
  ::SetStretchBltMode(target, HALFTONE);
  ::SetBrushOrgEx(target, 0, 0, nullptr);
  ::StretchBlt(target, 0, 0, persistent_->width(), persistent_->height(), source.get(), 0, 0,
               ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), SRCCOPY);
  // The after-image is stamped anew on the snapshot.
  if (settings_.Gost == 1) composer_.StampAfterImage();
  composer_.Touch({0, 0, persistent_->width(), persistent_->height()});
  Present();
}

void PreviewWindow::ShowInPane() noexcept {
  auto style = static_cast<DWORD>(::GetWindowLongW(pane_, GWL_STYLE)) | 0x5u;
  // Whatever the pane's own style, this window must be a child (or SetParent
  // leaves it a top-level window) and must become visible only when shown.
  style = (style | WS_CHILD) & ~static_cast<DWORD>(WS_POPUP | WS_VISIBLE);
  ::SetWindowLongW(hwnd(), GWL_STYLE, static_cast<LONG>(style));
  ::SetParent(hwnd(), pane_);
  ::SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  ::ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  ::UpdateWindow(hwnd());
}

LRESULT PreviewWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_PAINT:
      PaintFromSurface(hwnd(), *frame_);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the blit of WM_PAINT covers every pixel
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

void PreviewWindow::Present() noexcept {
  const PixelRect area = composer_.Present();
  if (area.Empty() || !hwnd()) return;
  const RECT dirty{area.left, area.top, area.right, area.bottom};
  ::InvalidateRect(hwnd(), &dirty, FALSE);
}

void PreviewWindow::OnDestroy() noexcept {
  if (ended_) return;
  ended_ = true;
  // An owner, should the host have given the window one, is asked to close too.
  if (const HWND owner = ::GetWindow(hwnd(), GW_OWNER)) ::PostMessageW(owner, WM_CLOSE, 1, 1);
  onEnd_();
}

}  // namespace ruzir::win32

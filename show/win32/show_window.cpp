#include "show/win32/show_window.h"

#include <algorithm>

#include "show/win32/monitors.h"
#include "show/win32/slide_loader.h"
#include "support/win32/handles.h"
#include "support/win32/system_info.h"

namespace ruzir::win32 {
namespace {

// The shortest wait before a change that found no picture is tried again.
constexpr int kMinRetrySeconds = 1;

RECT ToRect(const PixelRect& r) noexcept { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

ShowWindow::ShowWindow(LoadedSettings& loaded, const ImageList& images, UniformSource& random,
                       HWND previewParent, const MonitorArea& monitor, CursorWatch* cursor,
                       std::function<void(End)> onEnd)
    : loaded_(loaded),
      images_(images),
      random_(random),
      previewParent_(previewParent),
      monitor_(monitor),
      cursor_(cursor),
      onEnd_(std::move(onEnd)),
      effect_(loaded.CurrentEffect) {}

ShowWindow::LoadResult ShowWindow::Load(HINSTANCE instance) noexcept {
  scale_ = monitor_.scale;

  // The window's size in twips, the unit of every placement on it: the
  // monitor's, or the preview pane's. Whole pixels survive the round trip.
  float widthTwips = 0;
  float heightTwips = 0;
  if (IsFullScreen()) {
    const PixelRect& area = monitor_.rect;
    widthTwips = TwipsFromPixels(area.right - area.left, scale_.x);
    heightTwips = TwipsFromPixels(area.bottom - area.top, scale_.y);
  } else {
    RECT pane{};
    ::GetWindowRect(previewParent_, &pane);
    widthTwips = TwipsFromPixels(pane.right - pane.left, scale_.x);
    heightTwips = TwipsFromPixels(pane.bottom - pane.top, scale_.y);
  }
  const int width = PixelsFromTwips(widthTwips, scale_.x);
  const int height = PixelsFromTwips(heightTwips, scale_.y);

  persistent_ = DibSurface::Create(width, height);
  frame_ = DibSurface::Create(width, height);
  if (!persistent_ || !frame_) return LoadResult::Failed;
  // GDI batches its blits: they must be done before the composer writes.
  composer_ = FrameComposer(persistent_->view(), frame_->view(), [] { ::GdiFlush(); });
  Fill(persistent_->view(), PixelFromColor(loaded_.settings.BackColor));
  composer_.Touch({0, 0, width, height});
  Present();  // the window's first paint shows the background

  // The worker draws from a generator of its own, seeded from the show's.
  try {
    readAhead_.emplace(SlideLoader(images_, DrawSeed(random_), height, scale_));
  } catch (...) {
    return LoadResult::Failed;  // no thread, or no memory for one
  }
  readAhead_->Request();
  if (!IsFullScreen()) {
    // The preview shows its one picture from the start. Its first picture
    // is waited for before the window exists, so that a folder of nothing
    // but unreadable files ends the program with no window shown.
    if (readAhead_->Wait() != ReadAhead::State::Ready) return LoadResult::NoPicture;
    PutFirstSlide(std::move(*readAhead_->Take()));
  }

  if (!RegisterWindowClass(instance, kClassName, ::LoadCursorW(nullptr, IDC_ARROW))) {
    return LoadResult::Failed;
  }
  // Full screen: no taskbar button or Alt+Tab entry. The preview is born a
  // hidden child of the pane, so it never exists as a top-level window that
  // could flash up or take the activation from the host's dialog.
  const bool created =
      IsFullScreen()
          ? CreateHwnd(instance, kClassName, WS_EX_TOOLWINDOW, WS_POPUP, monitor_.rect.left,
                       monitor_.rect.top, width, height, nullptr)
          : CreateHwnd(instance, kClassName, 0, WS_CHILD, 0, 0, width, height, previewParent_);
  return created ? LoadResult::Loaded : LoadResult::Failed;
}

void ShowWindow::TakeDesktopSnapshot() noexcept {
  const HWND desktop = ::GetDesktopWindow();
  const auto source = GetWindowDc(desktop);
  if (!source) return;
  const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  const HDC target = persistent_->dc();
  if (IsFullScreen()) {  // this monitor's part of the desktop
    ::BitBlt(target, 0, 0, persistent_->width(), persistent_->height(), source.get(),
             monitor_.rect.left, monitor_.rect.top, SRCCOPY);
  } else {
    // Averaging keeps the shrunken desktop legible; the default mode drops
    // whole rows and columns.
    ::SetStretchBltMode(target, HALFTONE);
    ::SetBrushOrgEx(target, 0, 0, nullptr);
    ::StretchBlt(target, 0, 0, persistent_->width(), persistent_->height(), source.get(), 0, 0,
                 screenWidth, screenHeight, SRCCOPY);
  }
  // The picture goes back on top of the snapshot, or is stamped on it anew.
  if (loaded_.settings.Gost == 1 && !IsFullScreen()) composer_.StampAfterImage();
  composer_.Touch({0, 0, persistent_->width(), persistent_->height()});
  Present();
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
           frame_->dc(), dirty.left, dirty.top, SRCCOPY);
}

void ShowWindow::OnUserInput() noexcept {
  if (IsFullScreen()) Close();
}

void ShowWindow::OnMouseMove() noexcept {
  if (!IsFullScreen()) return;
  bool moved = true;  // out of memory: a watch that cannot look ends the show
  try {
    moved = cursor_->HasMoved(LookAtCursor, MonotonicSeconds());
  } catch (...) {
  }
  if (moved) Close();
}

void ShowWindow::OnTimer1(bool mayChange) noexcept {
  // A tick that falls due while another still runs (a message box, or a
  // transition letting messages through) is dropped: ticks never overlap.
  if (ticking_) return;
  ticking_ = true;
  if (awaitingFirst_) {
    AwaitFirstPicture();
  } else {
    Tick(mayChange);
  }
  ticking_ = false;
}

void ShowWindow::AwaitFirstPicture() noexcept {
  switch (readAhead_->state()) {
    case ReadAhead::State::Ready:
      PutFirstSlide(std::move(*readAhead_->Take()));
      readAhead_->Request();
      break;
    case ReadAhead::State::Failed:
      // Not one file of the folder could be loaded. (A folder of no picture
      // files at all never gets this far.)
      Close(End::NoPicture);
      break;
    case ReadAhead::State::Idle:
    case ReadAhead::State::Loading:
      break;
  }
}

void ShowWindow::PutFirstSlide(Slide&& slide) noexcept {
  awaitingFirst_ = false;
  const PixelSize size = slide.size;
  PutSlide(std::move(slide));
  composer_.Move(CentredPlacement(size, composer_.size(), scale_));
  if (loaded_.settings.Gost == 1) {
    // With after-images the picture itself is never shown: the full-screen
    // show stamps it from its second tick on, the preview once, now.
    if (!IsFullScreen()) composer_.StampAfterImage();
  } else {
    composer_.SetVisible(true);
  }
  Present();
}

void ShowWindow::Tick(bool mayChange) noexcept {
  const Settings& settings = loaded_.settings;
  const TickKind kind = BeginTick(timer_, MonotonicSeconds(), settings.Interval);
  if (kind != TickKind::First) {
    bool change = kind == TickKind::Change && mayChange;
    if (change) {
      // The current picture leaves only once the next one is there: until
      // then it drifts on, and the change comes with the first tick that
      // finds it. When no file could be loaded (files removed, locked or
      // damaged), the worker is asked again for the next display time.
      change = false;
      switch (readAhead_->state()) {
        case ReadAhead::State::Ready:
          PlayTransition(Transition::Kind::Out);
          PutSlide(std::move(*readAhead_->Take()));
          readAhead_->Request();
          change = true;
          break;
        case ReadAhead::State::Failed:
        case ReadAhead::State::Idle:
          // At least a second apart, whatever the display time: a retry may
          // try every file of the folder.
          timer_.SlideStart =
              MonotonicSeconds() + std::max(0, kMinRetrySeconds - settings.Interval);
          readAhead_->Request();
          break;
        case ReadAhead::State::Loading:
          break;
      }
    }
    // The new picture makes its first step from the old one's place.
    composer_.SetVisible(false);
    composer_.Move(DriftPlacement(composer_.place(), composer_.size(), scale_,
                                  DriftStep(settings.Gost), timer_.MovingUp, timer_.MovingLeft));
    if (change) {
      PlayTransition(Transition::Kind::In);
      composer_.HideBreakCanvas();
      // Both halves of the next change use the effect drawn now.
      effect_ = ChooseEffect(settings.Break, random_);
      // The display time starts once the picture has arrived.
      timer_.SlideStart = MonotonicSeconds();
    }
    if (settings.Gost == 1) {
      composer_.StampAfterImage();
    } else {
      composer_.SetVisible(true);
    }
    Present();
  }
}

void ShowWindow::PutSlide(Slide&& slide) noexcept {
  picture_ = std::move(slide.picture);
  composer_.PutPicture(picture_ ? picture_->view() : SurfaceView{}, slide.size);
}

TwipsRect ShowWindow::PictureTwips() const noexcept {
  const PixelRect& p = composer_.place();
  return {TwipsFromPixels(p.left, scale_.x), TwipsFromPixels(p.top, scale_.y),
          TwipsFromPixels(p.right - p.left, scale_.x), TwipsFromPixels(p.bottom - p.top, scale_.y)};
}

void ShowWindow::PlayTransition(Transition::Kind kind) noexcept {
  const Effect effect = effect_;
  if (!HasPieces(effect)) return;  // the picture changes at once
  try {
    const TwipsSize window{TwipsFromPixels(frame_->width(), scale_.x),
                           TwipsFromPixels(frame_->height(), scale_.y)};
    // Each half lasts at most about 1.5 s, however slowly its pieces move.
    const int maxFrames = pacer_.refreshHz() * 3 / 2;
    Transition transition(kind, effect, window, PictureTwips(), scale_, maxFrames);
    // The pieces stand in for the picture from the first frame out on.
    if (kind == Transition::Kind::Out) composer_.SetVisible(false);
    std::vector<PixelRect> changed;
    pacer_.Start();
    while (composer_.DrawTransitionFrame(transition, changed)) {
      for (const PixelRect& area : changed) {
        const RECT dirty = ToRect(area);
        ::InvalidateRect(hwnd(), &dirty, FALSE);
      }
      ::UpdateWindow(hwnd());
      pacer_.WaitForNextFrame();
    }
  } catch (...) {
    // Out of memory for the pieces: the picture changes without a transition.
  }
}

void ShowWindow::Present() noexcept {
  const PixelRect area = composer_.Present();
  if (!area.Empty() && hwnd()) {
    const RECT dirty = ToRect(area);
    ::InvalidateRect(hwnd(), &dirty, FALSE);
  }
}

void ShowWindow::Close(End end) noexcept {
  if (closing_) return;
  end_ = end;
  ::DestroyWindow(hwnd());
}

void ShowWindow::OnDestroy() noexcept {
  if (closing_) return;
  closing_ = true;
  if (const HWND owner = IsFullScreen() ? nullptr : ::GetWindow(hwnd(), GW_OWNER)) {
    ::PostMessageW(owner, WM_CLOSE, 1, 1);
  }
  onEnd_(end_);
}

}  // namespace ruzir::win32

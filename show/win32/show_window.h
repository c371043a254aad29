// The full-screen show's window over one monitor.
//
// A borderless topmost window with no taskbar button; a ShowGroup has one on
// each monitor. It owns its pixels, the persistent picture and the frame (DIB
// sections GDI can draw into and blit from), which the SlideShow composes;
// WM_PAINT blits the frame with one copy. It takes the desktop snapshot and
// hands every click, key and mouse movement over it, and any request to
// close it, to the group, which decides whether the show ends.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <vector>

#include "show/monitor_layout.h"
#include "support/units.h"
#include "support/win32/dib_surface.h"
#include "support/win32/window.h"

namespace ruzir::win32 {

class ShowWindow final : public WindowBase {
 public:
  static constexpr const wchar_t* kClassName = L"RuzirShow";

  // A click or a key; a mouse message; a request to close the window (as
  // the setup program makes before it replaces the file).
  enum class Input { Press, Move, Close };

  ShowWindow(const MonitorArea& monitor, std::function<void(Input)> onInput);

  // Makes the window over the monitor, hidden, and its surfaces. False when
  // either cannot be made.
  bool Create(HINSTANCE instance) noexcept;

  // Copies the monitor's part of the desktop into the persistent picture.
  void TakeDesktopSnapshot() noexcept;

  // Shows the window above every other one.
  void ShowOnTop() noexcept;
  // Brings the window to the front: keys must reach the show at once,
  // whatever had the focus before.
  void TakeKeyboard() noexcept;

  // Has `areas` of the frame repainted; `now`: before this returns.
  void Repaint(const std::vector<PixelRect>& areas, bool now) noexcept;

  const MonitorArea& monitor() const noexcept { return monitor_; }
  SurfaceView persistent() const noexcept { return persistent_->view(); }
  SurfaceView frame() const noexcept { return frame_->view(); }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;

  MonitorArea monitor_;
  std::function<void(Input)> onInput_;
  std::optional<DibSurface> persistent_;  // background, snapshot, after-images
  std::optional<DibSurface> frame_;       // what the screen shows
};

}  // namespace ruzir::win32

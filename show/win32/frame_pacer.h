// Paces the frames of a transition to the display: each frame stays on
// screen for one refresh. Without pacing a transition would be drawn as fast
// as the machine goes, a few milliseconds on today's machines, and never be
// seen.
//
// With desktop composition on, DwmFlush waits for the compositor's next
// frame. Without it, a high-resolution waitable timer counts out the
// refresh period (the display's refresh rate, or 60 Hz when it reports
// none) from one frame's deadline to the next. The wait gives way to any
// window message, which the show's message loop then handles before it
// waits again: input ends the show in the middle of a transition.
#pragma once

#include <windows.h>

#include "support/win32/handles.h"

namespace ruzir::win32 {

class FramePacer {
 public:
  FramePacer() noexcept;
  FramePacer(const FramePacer&) = delete;
  FramePacer& operator=(const FramePacer&) = delete;

  // Starts a new run of frames, its first just drawn: the next is due one
  // period from now.
  void Start() noexcept;
  // Waits until the next frame is due, true, or until a window message
  // comes first, false.
  bool WaitForFrame() noexcept;
  // The display's refresh rate, or 60 when it reports none.
  int refreshHz() const noexcept { return refreshHz_; }

 private:
  bool composition_ = false;
  int refreshHz_ = 0;
  LONGLONG period_ = 0;    // 100 ns units
  LONGLONG deadline_ = 0;  // 100 ns units of the performance counter
  unique_handle timer_;
};

}  // namespace ruzir::win32

// The full-screen show over every monitor.
//
// One ShowWindow covers each monitor, with its own slide sized from that
// monitor's height, its own picks, transitions and after-images, its own
// part of the desktop snapshot and its own monitor's scale. The group holds
// what they share: one 50 ms timer ticks them all in turn, the cursor is
// hidden once, one cursor watch sees a move from one monitor to another, and
// input on any window ends the whole show once. A window plays its
// transitions handling messages, so the others drift on meanwhile; their
// own changes wait for it, so no transition is frozen half-way by another.
//
// The group's own window is hidden; it takes the timer and hears of monitors
// changing (and asks about them every second besides). A change is laid out
// at a tick outside every other: windows whose monitor is still there at its
// size and scale carry on, the others close, and new monitors get new
// windows.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "show/win32/show_window.h"
#include "support/random.h"
#include "support/win32/window.h"

namespace ruzir::win32 {

class ShowGroup final : public WindowBase {
 public:
  static constexpr const wchar_t* kClassName = L"RuzirShowGroup";

  // `onEnd` ends the process; it runs once, whichever window ended the show.
  ShowGroup(LoadedSettings& loaded, const ImageList& images, UniformSource& random,
            std::function<void(ShowWindow::End)> onEnd);
  ~ShowGroup() override;

  // Makes a window on every monitor, takes each one's part of the desktop
  // when the settings ask for it, shows them topmost with the primary in
  // front, hides the cursor and starts the timer. False when a window or its
  // surfaces cannot be made.
  bool Start(HINSTANCE instance) noexcept;

 private:
  struct Member {
    std::unique_ptr<Random> random;  // none: the show's own (the first primary)
    std::unique_ptr<ShowWindow> window;
  };

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;

  // A window over `monitor`, set up and shown; no window when it fails.
  // `midShow`: for a monitor that came or changed while the show runs.
  Member Open(const MonitorArea& monitor, bool midShow) noexcept;
  void OnTimer() noexcept;
  void Relayout() noexcept;
  // The monitors have changed, which is no movement: the cursor watch
  // records the cursor afresh.
  void RecordCursor() noexcept;
  void End(ShowWindow::End end) noexcept;

  LoadedSettings& loaded_;
  const ImageList& images_;
  UniformSource& random_;
  std::function<void(ShowWindow::End)> onEnd_;
  HINSTANCE instance_ = nullptr;
  CursorWatch cursor_;
  std::vector<Member> members_;  // the primary's first
  bool cursorHidden_ = false;
  int depth_ = 0;  // ticks under way, one inside another's transition
  bool relayoutDue_ = false;
  int ticksSinceCheck_ = 0;
  bool ended_ = false;
};

}  // namespace ruzir::win32

// The full-screen show over every monitor.
//
// One ShowWindow covers each monitor; the SlideShow composes every monitor's
// frame, and one ReadAhead worker makes the pictures for all of them. The
// group draws, times and listens, nothing more:
//   - one 50 ms timer, the show's tick;
//   - while any transition plays, frames paced to the display by one
//     FramePacer, each drawn by the same message loop that handles input in
//     between, so a key in the middle of a transition ends the show within a
//     frame, and no monitor waits for another;
//   - the cursor hidden once, one cursor watch that sees a move from one
//     monitor to another, and input on any window ending the whole show once.
//
// The group's own window is hidden; it takes the timer and hears of monitors
// changing (and asks about them every second besides). Windows whose monitor
// is still there at its size and scale carry on, the others close, and new
// monitors get new windows, which start on the background.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "settings/settings.h"
#include "show/cursor_watch.h"
#include "show/image_list.h"
#include "show/read_ahead.h"
#include "show/slide_show.h"
#include "show/win32/frame_pacer.h"
#include "show/win32/show_window.h"
#include "support/random.h"
#include "support/win32/window.h"

namespace ruzir::win32 {

class ShowGroup final : public WindowBase {
 public:
  static constexpr const wchar_t* kClassName = L"RuzirShowGroup";

  // Why the show ended: input, or no listed file could be loaded.
  enum class End { Closed, NoPicture };

  // `onEnd` ends the process; it runs once, whatever ended the show.
  // `images` outlives the group.
  ShowGroup(const LoadedSettings& loaded, const ImageList& images, UniformSource& random,
            std::function<void(End)> onEnd);
  ~ShowGroup() override;

  // Makes a window on every monitor, takes each one's part of the desktop
  // when the settings ask for it, shows them topmost with the primary in
  // front, hides the cursor and starts the timer and the worker. False when
  // a window, its surfaces or the worker cannot be made.
  bool Start(HINSTANCE instance) noexcept;

  // The show's message loop, the thread's only one, until a quit request.
  int Run() noexcept;

 private:
  struct Member {
    std::unique_ptr<ShowWindow> window;
    int screen = 0;  // the SlideShow's
  };

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;

  // A window over `monitor`, on the show and shown; none when it fails.
  // `midShow`: for a monitor that came or changed while the show runs.
  Member Open(const MonitorArea& monitor, bool midShow) noexcept;
  void OnTimer() noexcept;
  void OnFrame() noexcept;
  void OnInput(ShowWindow::Input input) noexcept;
  void Repaint(bool now);
  void Relayout() noexcept;
  // The monitors have changed, which is no movement: the cursor watch
  // records the cursor afresh.
  void RecordCursor() noexcept;
  void Finish(End end) noexcept;

  LoadedSettings loaded_;
  const ImageList& images_;
  UniformSource& random_;
  std::function<void(End)> onEnd_;
  HINSTANCE instance_ = nullptr;
  FramePacer pacer_;
  CursorWatch cursor_;
  // Declared in this order so that the windows, whose pixels the show
  // composes, go first, and the worker last.
  std::optional<ReadAhead> pictures_;
  std::optional<SlideShow> show_;
  std::vector<Member> members_;  // the primary's first
  bool cursorHidden_ = false;
  bool relayoutDue_ = false;
  int ticksSinceCheck_ = 0;
  bool ended_ = false;
};

}  // namespace ruzir::win32

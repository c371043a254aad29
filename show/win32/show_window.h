// frmMain, the show window of both show modes.
//
// Full screen, it is a borderless topmost window over one monitor (a
// ShowGroup has one on each, and hides the cursor); any click, key or
// movement of the mouse over it ends the show.
// In the preview it is a child of the host's preview pane, ignores input and
// lives until the pane goes away.
//
// The window owns the pixels (DIB sections GDI can draw into and blit from);
// a FrameComposer composes the frame in them, and WM_PAINT blits the frame
// with one copy. What is left here is the platform's part: the window, the
// desktop snapshot, painting, the slide timer, input, and pacing the
// transitions to the display.
//
// The pictures come from a read-ahead worker, so that no decoding ever holds
// up this thread. The full-screen show appears at once and its first picture
// as soon as it has been read; each change waits, drifting, until the next
// picture is there. The preview loads its one picture before it shows.
//
// Closing the window is the end of the show: `onEnd` runs from WM_DESTROY,
// whether the show closed itself or the host destroyed the preview pane (and
// with it this child), and ends the process, so no copy lingers.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "settings/settings.h"
#include "show/cursor_watch.h"
#include "show/frame_composer.h"
#include "show/image_list.h"
#include "show/monitor_layout.h"
#include "show/slide.h"
#include "show/read_ahead.h"
#include "show/transition.h"
#include "show/win32/frame_pacer.h"
#include "support/random.h"
#include "support/units.h"
#include "support/win32/dib_surface.h"
#include "support/win32/window.h"

namespace ruzir::win32 {

class ShowWindow final : public WindowBase {
 public:
  static constexpr const wchar_t* kClassName = L"RuzirShow";

  enum class LoadResult { Loaded, NoPicture, Failed };
  // Why the show ended: input or the host, or no listed file could be loaded.
  enum class End { Closed, NoPicture };

  // `previewParent` is the host's pane for the preview, null for the full-
  // screen show, which covers `monitor` and watches the mouse with `cursor`
  // (shared by every monitor's window, so that moving from one to another is
  // a move). The preview is at `monitor`'s scale and has no cursor watch.
  // `onEnd` ends the show once the window has gone.
  ShowWindow(LoadedSettings& loaded, const ImageList& images, UniformSource& random,
             HWND previewParent, const MonitorArea& monitor, CursorWatch* cursor,
             std::function<void(End)> onEnd);

  // Sets the window up while it is hidden: geometry, background colour, the
  // reading of the first picture. The preview waits for its picture and places it:
  // NoPicture, before any window exists, when no listed file can be loaded.
  // Failed when the window or its surfaces cannot be made.
  LoadResult Load(HINSTANCE instance) noexcept;

  // Copies the desktop into the persistent picture: one to one in the full-
  // screen show, the whole screen shrunk into the window in the preview.
  void TakeDesktopSnapshot() noexcept;

  void MakeTopmost() noexcept;

  // Gives the window the pane's style (plus the bits 0x1 and 0x4) and makes
  // the pane its parent, at the pane's top-left corner.
  void EmbedInPreviewPane() noexcept;

  void Show() noexcept;

  // One tick of the slide timer, Timer1, which the ShowGroup runs every 50 ms
  // in the full-screen show. Without `mayChange` (another monitor's
  // transition is playing) a due change waits for a later tick, drifting:
  // transitions take turns instead of one freezing the other half-way.
  void OnTimer1(bool mayChange = true) noexcept;

  const MonitorArea& monitor() const noexcept { return monitor_; }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;

  void OnPaint() noexcept;
  void OnUserInput() noexcept;
  void OnMouseMove() noexcept;
  void OnDestroy() noexcept;

  // A tick before the first picture has come: shows it once it is there,
  // ends the show when none can be loaded.
  void AwaitFirstPicture() noexcept;
  // A tick of the running show: the drift, and the change once the display
  // time has run out and the next picture is there.
  void Tick(bool mayChange) noexcept;
  // The first picture, centred.
  void PutFirstSlide(Slide&& slide) noexcept;
  // Makes a loaded slide picImage's picture; picImage's left and top stay.
  void PutSlide(Slide&& slide) noexcept;
  // Plays the outgoing or incoming half of a picture change with
  // CurrentEffect, one frame per display refresh, handling messages between
  // frames. No frames for an effect without pieces.
  void PlayTransition(Transition::Kind kind) noexcept;
  // Composes what changed into the frame and has it painted.
  void Present() noexcept;

  bool IsFullScreen() const noexcept { return previewParent_ == nullptr; }
  TwipsRect PictureTwips() const noexcept;
  // Closing the full-screen show ends the process through OnDestroy.
  void Close(End end = End::Closed) noexcept;

  LoadedSettings& loaded_;
  const ImageList& images_;
  UniformSource& random_;
  HWND previewParent_;
  MonitorArea monitor_;
  CursorWatch* cursor_;
  std::function<void(End)> onEnd_;

  TwipsScale scale_;                      // of the monitor the window is on
  std::optional<DibSurface> persistent_;  // background, snapshot, after-images
  std::optional<DibSurface> frame_;       // what the screen shows
  std::optional<MemorySurface> picture_;  // picImage's pixels
  std::optional<ReadAhead> readAhead_;    // the next picture
  bool awaitingFirst_ = true;             // no picture has been shown yet
  FrameComposer composer_;
  FramePacer pacer_;
  SlideTimerState timer_;
  Effect effect_;  // of the next picture change: each window draws its own
  bool ticking_ = false;
  bool closing_ = false;
  End end_ = End::Closed;
};

}  // namespace ruzir::win32

// frmMain, the show window of both show modes.
//
// Full screen, it is a borderless topmost window over the primary screen with
// the cursor hidden; any click, key or movement of the mouse ends the show.
// In the preview it is a child of the host's preview pane, ignores input and
// lives until the pane goes away.
//
// The window owns the pixels (DIB sections GDI can draw into and blit from);
// a FrameComposer composes the frame in them, and WM_PAINT blits the frame
// with one copy. What is left here is the platform's part: the window, the
// desktop snapshot, painting, the slide timer, input, and pacing the
// transitions to the display.
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
#include "show/slide.h"
#include "show/transition.h"
#include "show/win32/frame_pacer.h"
#include "show/win32/picture_decoder.h"
#include "support/random.h"
#include "support/units.h"
#include "support/win32/dib_surface.h"
#include "support/win32/window.h"

namespace ruzir::win32 {

class ShowWindow final : public WindowBase {
 public:
  static constexpr const wchar_t* kClassName = L"RuzirShow";

  enum class LoadResult { Loaded, NoPicture, Failed };

  // `previewParent` is the host's pane for the preview, null for the full-
  // screen show. `onEnd` ends the process once the window has gone.
  ShowWindow(LoadedSettings& loaded, const ImageList& images, const PictureDecoder& decoder,
             UniformSource& random, HWND previewParent, std::function<void()> onEnd);

  // Sets the window up while it is hidden: geometry, background colour, the
  // first picture centred, timer (disabled), and in the full-screen show the
  // hidden cursor. NoPicture, before any window exists, when no listed file
  // can be loaded; Failed when the window or its pictures cannot be made.
  LoadResult Load(HINSTANCE instance) noexcept;

  // Copies the desktop into the persistent picture: one to one in the full-
  // screen show, the whole screen shrunk into the window in the preview.
  void TakeDesktopSnapshot() noexcept;

  void MakeTopmost() noexcept;

  // Gives the window the pane's style (plus the bits 0x1 and 0x4) and makes
  // the pane its parent, at the pane's top-left corner.
  void EmbedInPreviewPane() noexcept;

  void Show() noexcept;

  // Starts the slide timer, Timer1: every 50 ms, full-screen show only.
  void EnableTimer1() noexcept;

 private:
  // A picture loaded at its size for this window.
  struct Slide {
    std::optional<DibSurface> picture;  // none when it is too small to see
    PixelSize size;
  };

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;

  void OnPaint() noexcept;
  void OnUserInput() noexcept;
  void OnMouseMove() noexcept;
  void OnTimer1() noexcept;
  void OnDestroy() noexcept;

  // Loads file `index` into `slide`. False when the file cannot be loaded.
  bool LoadSlide(std::int16_t index, Slide& slide) noexcept;
  // Draws pictures until one loads; false when none of them can, for now.
  bool LoadRandomSlide(Slide& slide) noexcept;
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
  void Close() noexcept;

  LoadedSettings& loaded_;
  const ImageList& images_;
  const PictureDecoder& decoder_;
  UniformSource& random_;
  HWND previewParent_;
  std::function<void()> onEnd_;

  TwipsScale scale_;                      // of the screen the window is on
  std::optional<DibSurface> persistent_;  // background, snapshot, after-images
  std::optional<DibSurface> frame_;       // what the screen shows
  std::optional<DibSurface> picture_;     // picImage's pixels
  FrameComposer composer_;
  FramePacer pacer_;
  ImagePicker picker_;
  SlideTimerState timer_;
  bool ticking_ = false;
  CursorWatch cursor_;
  bool cursorHidden_ = false;
  bool closing_ = false;
};

}  // namespace ruzir::win32

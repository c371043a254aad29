// frmMain, the show window of both show modes.
//
// Full screen, it is a borderless topmost window over the primary screen with
// the cursor hidden; any click, key or movement of the mouse ends the show.
// In the preview it is a child of the host's preview pane, ignores input and
// lives until the pane goes away.
//
// What the window shows is composed off screen from two layers: the
// persistent picture (background colour, desktop snapshot, after-images) and
// picImage, the current picture at its place. Changes within one tick (hide,
// load, move, show) only collect the rectangles they touch; Present composes
// those into the frame, and WM_PAINT blits the frame with one copy. Nothing
// half-drawn ever reaches the screen, and a tick costs what the picture
// covers, not the screen's size.
//
// During a picture change the frame itself is picBreak, the canvas over the
// whole window in which the transitions compose their frames; the layers are
// composed again once it is hidden.
//
// Closing the window is the end of the process: the shut-down sequence runs
// from WM_DESTROY, whether the show closed itself or the host destroyed the
// preview pane (and with it this child), so no copy lingers.
#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

#include "settings/key_store.h"
#include "settings/settings.h"
#include "show/cursor_watch.h"
#include "show/image_list.h"
#include "show/slide.h"
#include "show/transition.h"
#include "support/units.h"
#include "show/win32/frame_pacer.h"
#include "show/win32/picture_decoder.h"
#include "startup/command_line.h"
#include "support/random.h"
#include "support/win32/dib_surface.h"
#include "support/win32/window.h"

namespace ruzir::win32 {

class ShowWindow final : public WindowBase {
 public:
  static constexpr const wchar_t* kClassName = L"RuzirShow";

  enum class LoadResult { Loaded, NoPicture, Failed };

  // `mode` is FullScreen or Preview; `previewParent` is the pane (preview only).
  ShowWindow(LoadedSettings& loaded, KeyStore& store, const ImageList& images,
             const PictureDecoder& decoder, UniformSource& random, RunMode mode,
             HWND previewParent);

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
  // picImage: the current picture, scaled, at its place on the window.
  struct PictureBox {
    std::optional<DibSurface> picture;  // none when it is too small to see
    PixelRect place;
    bool visible = false;
  };

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;

  void OnPaint() noexcept;
  void OnUserInput() noexcept;
  void OnMouseMove() noexcept;
  void OnTimer1() noexcept;
  void OnDestroy() noexcept;

  // Loads file `index` into `slide` at its size for this window. False when
  // the file cannot be loaded.
  bool LoadSlide(std::int16_t index, PictureBox& slide) noexcept;
  // Draws pictures until one loads; false when none of them can, for now.
  bool LoadRandomSlide(PictureBox& slide) noexcept;
  // Makes a loaded slide picImage's picture; picImage's left and top stay.
  void PutSlide(PictureBox&& slide) noexcept;
  void SetPictureVisible(bool visible) noexcept;
  void MovePicture(const PixelRect& place) noexcept;
  // Copies picImage into the persistent picture at its place.
  void StampAfterImage() noexcept;
  // Plays the outgoing or incoming half of a picture change with
  // CurrentEffect, one frame per display refresh, handling messages between
  // frames. No frames for an effect without pieces.
  void PlayTransition(Transition::Kind kind) noexcept;
  void HideBreakCanvas() noexcept;
  // Composes what changed into the frame and has it painted.
  void Present() noexcept;
  void Touch(const PixelRect& area) noexcept { pending_ = Union(pending_, area); }

  bool IsFullScreen() const noexcept { return mode_ == RunMode::FullScreen; }
  PixelSize WindowSize() const noexcept { return {persistent_->width(), persistent_->height()}; }
  TwipsRect PictureTwips() const noexcept;
  // Closing the full-screen show ends the process through OnDestroy.
  void Close() noexcept;

  LoadedSettings& loaded_;
  KeyStore& store_;
  const ImageList& images_;
  const PictureDecoder& decoder_;
  UniformSource& random_;
  RunMode mode_;
  HWND previewParent_;

  TwipsScale scale_;                      // of the screen the window is on
  std::optional<DibSurface> persistent_;  // background, snapshot, after-images
  std::optional<DibSurface> frame_;       // what the screen shows
  PixelRect pending_;                     // frame area not yet composed
  bool breakVisible_ = false;             // the frame is picBreak's canvas
  PictureBox picImage_;
  FramePacer pacer_;
  ImagePicker picker_;
  SlideTimerState timer_;
  bool ticking_ = false;
  CursorWatch cursor_;
  bool cursorHidden_ = false;
  bool closing_ = false;
};

}  // namespace ruzir::win32

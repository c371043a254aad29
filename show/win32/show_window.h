// frmMain, the show window of both show modes.
//
// Full screen, it is a borderless topmost window over the primary screen with
// the cursor hidden; any click, key or movement of the mouse ends the show.
// In the preview it is a child of the host's preview pane, ignores input and
// lives until the pane goes away.
//
// Everything the window shows is composed off screen in its persistent
// picture, a DIB as large as the window (background colour, desktop
// snapshot); WM_PAINT presents it with one blit, so nothing ever flickers.
//
// Closing the window is the end of the process: the shut-down sequence runs
// from WM_DESTROY, whether the show closed itself or the host destroyed the
// preview pane (and with it this child), so no copy lingers.
#pragma once

#include <windows.h>

#include <optional>

#include "settings/key_store.h"
#include "settings/settings.h"
#include "show/cursor_watch.h"
#include "show/units.h"
#include "startup/command_line.h"
#include "support/win32/dib_surface.h"
#include "support/win32/window.h"

namespace ruzir::win32 {

class ShowWindow final : public WindowBase {
 public:
  static constexpr const wchar_t* kClassName = L"RuzirShow";

  // `mode` is FullScreen or Preview; `previewParent` is the pane (preview only).
  ShowWindow(const LoadedSettings& loaded, KeyStore& store, RunMode mode, HWND previewParent);

  // Creates the window hidden and sets it up: geometry, background colour,
  // timer (disabled), and in the full-screen show the hidden cursor.
  // False when the window or its picture cannot be made.
  bool Load(HINSTANCE instance) noexcept;

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
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;

  void OnPaint() noexcept;
  void OnUserInput() noexcept;
  void OnMouseMove() noexcept;
  void OnTimer1() noexcept;
  void OnDestroy() noexcept;

  bool IsFullScreen() const noexcept { return mode_ == RunMode::FullScreen; }
  // Closing the full-screen show ends the process through OnDestroy.
  void Close() noexcept;

  const LoadedSettings& loaded_;
  KeyStore& store_;
  RunMode mode_;
  HWND previewParent_;

  TwipsScale scale_;                   // of the screen the window is on
  std::optional<DibSurface> picture_;  // the persistent picture
  CursorWatch cursor_;
  bool cursorHidden_ = false;
  bool closing_ = false;
};

}  // namespace ruzir::win32

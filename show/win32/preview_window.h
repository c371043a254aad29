// The preview: the show's first picture, still, in the host's preview pane.
//
// A child of the pane, as large, that ignores input and lives until the pane
// goes away. It shows one picture, loaded on this thread before the window
// exists (a folder of nothing but unreadable files then ends the program
// with no window shown), on the background or on the whole screen shrunk into
// the pane. Nothing moves in it, so it needs no timer and no worker.
//
// Closing the window is the end of the preview: `onEnd` runs from WM_DESTROY,
// when the host destroys the pane and with it this child, and ends the
// process, so no copy lingers.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "settings/settings.h"
#include "show/frame_composer.h"
#include "show/image_list.h"
#include "support/random.h"
#include "support/units.h"
#include "support/win32/dib_surface.h"
#include "support/win32/window.h"

namespace ruzir::win32 {

class PreviewWindow final : public WindowBase {
 public:
  static constexpr const wchar_t* kClassName = L"RuzirPreview";

  enum class LoadResult { Loaded, NoPicture, Failed };

  PreviewWindow(const Settings& settings, HWND pane, std::function<void()> onEnd);

  // Loads a picture of `images` for the pane and makes the window, hidden:
  // NoPicture when no listed file can be loaded, before any window exists;
  // Failed when the window or its surfaces cannot be made.
  LoadResult Load(HINSTANCE instance, const ImageList& images, UniformSource& random) noexcept;

  // Shows the whole screen, shrunk into the window, under the picture.
  void TakeDesktopSnapshot() noexcept;

  // Gives the window the pane's style (plus the bits 0x1 and 0x4), makes the
  // pane its parent, at the pane's top-left corner, and shows it.
  void ShowInPane() noexcept;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;
  void OnDestroy() noexcept;
  // Composes what changed into the frame.
  void Present() noexcept;

  Settings settings_;
  HWND pane_;
  std::function<void()> onEnd_;
  std::optional<DibSurface> persistent_;  // background, snapshot, after-image
  std::optional<DibSurface> frame_;       // what the pane shows
  std::optional<MemorySurface> picture_;
  FrameComposer composer_;
  bool ended_ = false;
};

}  // namespace ruzir::win32

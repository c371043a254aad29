// A 32-bit top-down DIB section selected into its own memory DC: GDI can
// draw into it (a desktop snapshot, a blit to the screen) and the program's
// own surface code can write its pixels directly.
#pragma once

#include <windows.h>

#include <optional>

#include "support/surface.h"
#include "support/win32/handles.h"

namespace ruzir::win32 {

class DibSurface {
 public:
  // nullopt when the size is empty, too large, or GDI refuses it.
  static std::optional<DibSurface> Create(int width, int height) noexcept;

  HDC dc() const noexcept { return dc_.get(); }
  SurfaceView view() const noexcept { return {bits_, width_, height_}; }
  int width() const noexcept { return width_; }
  int height() const noexcept { return height_; }

 private:
  DibSurface() = default;

  // Declared so that the selection is undone before the bitmap is deleted,
  // and the bitmap deleted before its DC.
  unique_hdc dc_;
  unique_hbitmap bitmap_;
  unique_select selection_;
  std::uint32_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

// Answers WM_PAINT for a window that shows `frame`: copies its dirty area,
// one to one.
void PaintFromSurface(HWND window, const DibSurface& frame) noexcept;

}  // namespace ruzir::win32

#include "support/win32/dib_surface.h"

namespace ruzir::win32 {

std::optional<DibSurface> DibSurface::Create(int width, int height) noexcept {
  if (!SurfaceBytes(width, height)) return std::nullopt;

  DibSurface surface;
  surface.dc_.reset(::CreateCompatibleDC(nullptr));
  if (!surface.dc_) return std::nullopt;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // negative: rows run top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  surface.bitmap_.reset(
      ::CreateDIBSection(surface.dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!surface.bitmap_ || !bits) return std::nullopt;

  surface.selection_ = unique_select(surface.dc_.get(), surface.bitmap_.get());
  surface.bits_ = static_cast<std::uint32_t*>(bits);
  surface.width_ = width;
  surface.height_ = height;
  return surface;
}

void PaintFromSurface(HWND window, const DibSurface& frame) noexcept {
  const unique_hdc_paint paint(window);
  const RECT& dirty = paint.dirty();
  ::BitBlt(paint.get(), dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top,
           frame.dc(), dirty.left, dirty.top, SRCCOPY);
}

}  // namespace ruzir::win32

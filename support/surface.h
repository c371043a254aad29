// Pixel surfaces: 32-bit top-down pixel buffers the show composes its frames
// in, one 0x00RRGGBB value per pixel (the layout of a 32bpp BGR DIB).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace ruzir {

// A view of pixels owned elsewhere (a DIB section, a test's vector).
struct SurfaceView {
  std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;

  std::uint32_t& At(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};

// A stored colour 0x00BBGGRR as a surface pixel 0x00RRGGBB. The top byte of
// a stored colour carries no colour and is dropped.
constexpr std::uint32_t PixelFromColor(std::uint32_t color) {
  return ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}

// Bytes of a width x height surface; nullopt for an empty or negative size
// and for one whose size does not fit the platform's bitmap limits (a DIB's
// byte count must fit in a signed 32-bit value).
std::optional<std::size_t> SurfaceBytes(int width, int height);

void Fill(const SurfaceView& surface, std::uint32_t pixel);

// Pixels in ordinary memory: pictures made away from the window, which can
// travel between threads as GDI's bitmaps should not.
class MemorySurface {
 public:
  // nullopt when the size is empty or too large (as SurfaceBytes has it), or
  // the memory cannot be had. The pixels start undefined.
  static std::optional<MemorySurface> Create(int width, int height);

  SurfaceView view() const { return {pixels_.get(), width_, height_}; }

 private:
  MemorySurface() = default;

  std::unique_ptr<std::uint32_t[]> pixels_;
  int width_ = 0;
  int height_ = 0;
};

struct PixelSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// A rectangle of whole pixels, right and bottom exclusive.
struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool Empty() const { return right <= left || bottom <= top; }
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

PixelRect Intersect(const PixelRect& a, const PixelRect& b);
// The smallest rectangle holding both; an empty one adds nothing.
PixelRect Union(const PixelRect& a, const PixelRect& b);

// Copies the rectangle `source` of `from` one to one, its top-left corner
// landing at (x, y) of `to` (any of them may reach beyond an edge). Only what
// lies inside `from`, inside `to` and inside `clip` (a rectangle of `to`) is
// copied.
void CopyRect(const SurfaceView& from, const PixelRect& source, const SurfaceView& to, int x, int y,
              const PixelRect& clip);

// The same for the whole of `from`.
void CopyAt(const SurfaceView& from, const SurfaceView& to, int x, int y, const PixelRect& clip);

// Copies the pixels of `area` from one surface to the same place of another
// of the same size, clipped to both.
void CopyArea(const SurfaceView& from, const SurfaceView& to, const PixelRect& area);

// Composes `area` of `frame` from a persistent picture of the same size and
// an overlay (a null one is none) whose top-left corner is at (x, y). Pixels
// under the overlay are written once, from the overlay alone.
void Compose(const SurfaceView& persistent, const SurfaceView& overlay, int x, int y,
             const SurfaceView& frame, const PixelRect& area);

}  // namespace ruzir

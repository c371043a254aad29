#include "support/surface.h"

#include <algorithm>
#include <limits>
#include <new>

namespace ruzir {

std::optional<std::size_t> SurfaceBytes(int width, int height) {
  if (width <= 0 || height <= 0) return std::nullopt;
  constexpr auto kLimit = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
  const auto bytes = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 4u;
  if (bytes > kLimit) return std::nullopt;
  return static_cast<std::size_t>(bytes);
}

std::optional<MemorySurface> MemorySurface::Create(int width, int height) {
  const auto bytes = SurfaceBytes(width, height);
  if (!bytes) return std::nullopt;
  MemorySurface surface;
  // Not value-initialised: a picture is written whole before it is read.
  surface.pixels_.reset(new (std::nothrow) std::uint32_t[*bytes / 4]);
  if (!surface.pixels_) return std::nullopt;
  surface.width_ = width;
  surface.height_ = height;
  return surface;
}

void Fill(const SurfaceView& surface, std::uint32_t pixel) {
  if (surface.pixels == nullptr || surface.width <= 0 || surface.height <= 0) return;
  const auto count =
      static_cast<std::size_t>(surface.width) * static_cast<std::size_t>(surface.height);
  std::fill_n(surface.pixels, count, pixel);
}

PixelRect Intersect(const PixelRect& a, const PixelRect& b) {
  const PixelRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                    std::min(a.bottom, b.bottom)};
  return r.Empty() ? PixelRect{} : r;
}

PixelRect Union(const PixelRect& a, const PixelRect& b) {
  if (a.Empty()) return b.Empty() ? PixelRect{} : b;
  if (b.Empty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

void CopyRect(const SurfaceView& from, const PixelRect& source, const SurfaceView& to, int x, int y,
              const PixelRect& clip) {
  if (from.pixels == nullptr || to.pixels == nullptr) return;
  // In 64 bits: a placement near INT_MAX must clip, not wrap. (dx, dy) takes
  // a point of `from` to its place on `to`.
  const std::int64_t dx = static_cast<std::int64_t>(x) - source.left;
  const std::int64_t dy = static_cast<std::int64_t>(y) - source.top;
  const std::int64_t x0 = std::max<std::int64_t>({std::max(source.left, 0) + dx, clip.left, 0});
  const std::int64_t y0 = std::max<std::int64_t>({std::max(source.top, 0) + dy, clip.top, 0});
  const std::int64_t x1 =
      std::min<std::int64_t>({std::min(source.right, from.width) + dx, clip.right, to.width});
  const std::int64_t y1 =
      std::min<std::int64_t>({std::min(source.bottom, from.height) + dy, clip.bottom, to.height});
  if (x1 <= x0 || y1 <= y0) return;
  const auto count = static_cast<std::size_t>(x1 - x0);
  for (std::int64_t row = y0; row < y1; ++row) {
    const std::uint32_t* first = &from.At(static_cast<int>(x0 - dx), static_cast<int>(row - dy));
    std::copy_n(first, count, &to.At(static_cast<int>(x0), static_cast<int>(row)));
  }
}

void CopyAt(const SurfaceView& from, const SurfaceView& to, int x, int y, const PixelRect& clip) {
  CopyRect(from, {0, 0, from.width, from.height}, to, x, y, clip);
}

void CopyArea(const SurfaceView& from, const SurfaceView& to, const PixelRect& area) {
  const PixelRect within = Intersect(area, {0, 0, from.width, from.height});
  CopyAt(from, to, 0, 0, within);
}

void Compose(const SurfaceView& persistent, const SurfaceView& overlay, int x, int y,
             const SurfaceView& frame, const PixelRect& area) {
  const PixelRect covered = overlay.pixels == nullptr
                                ? PixelRect{}
                                : Intersect(area, {x, y, x + overlay.width, y + overlay.height});
  if (covered.Empty()) {
    CopyArea(persistent, frame, area);
    return;
  }
  // The persistent picture around the overlay: above, below, left, right.
  CopyArea(persistent, frame, {area.left, area.top, area.right, covered.top});
  CopyArea(persistent, frame, {area.left, covered.bottom, area.right, area.bottom});
  CopyArea(persistent, frame, {area.left, covered.top, covered.left, covered.bottom});
  CopyArea(persistent, frame, {covered.right, covered.top, area.right, covered.bottom});
  CopyAt(overlay, frame, x, y, covered);
}

}  // namespace ruzir

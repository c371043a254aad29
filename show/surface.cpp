#include "show/surface.h"

#include <algorithm>
#include <limits>

namespace ruzir {

std::optional<std::size_t> SurfaceBytes(int width, int height) {
  if (width <= 0 || height <= 0) return std::nullopt;
  constexpr auto kLimit = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
  const auto bytes = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 4u;
  if (bytes > kLimit) return std::nullopt;
  return static_cast<std::size_t>(bytes);
}

void Fill(const SurfaceView& surface, std::uint32_t pixel) {
  if (surface.pixels == nullptr || surface.width <= 0 || surface.height <= 0) return;
  const auto count =
      static_cast<std::size_t>(surface.width) * static_cast<std::size_t>(surface.height);
  std::fill_n(surface.pixels, count, pixel);
}

}  // namespace ruzir

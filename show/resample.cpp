#include "show/resample.h"

#include <cstdlib>

// The resampler is a single-header library; its implementation lives in this
// file only, and its own code is not held to the project's warning set.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#elif defined(_MSC_VER)
#pragma warning(push, 0)
#endif
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#define STBIR_ASSERT(x) ((void)0)
#define STB_IMAGE_RESIZE_STATIC
#include <stb_image_resize.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#elif defined(_MSC_VER)
#pragma warning(pop)
#endif

namespace ruzir {

bool Resample(const SurfaceView& from, const SurfaceView& to) {
  if (from.pixels == nullptr || to.pixels == nullptr || from.width <= 0 || from.height <= 0 ||
      to.width <= 0 || to.height <= 0) {
    return false;
  }
  constexpr int kChannels = 4;  // B, G, R and the unused byte, as the surfaces hold them
  const int ok = stbir_resize_uint8_srgb(
      reinterpret_cast<const unsigned char*>(from.pixels), from.width, from.height,
      from.width * kChannels, reinterpret_cast<unsigned char*>(to.pixels), to.width, to.height,
      to.width * kChannels, kChannels, STBIR_ALPHA_CHANNEL_NONE, 0);
  if (!ok) return false;
  const auto count = static_cast<std::size_t>(to.width) * static_cast<std::size_t>(to.height);
  for (std::size_t i = 0; i < count; ++i) to.pixels[i] &= 0x00FFFFFFu;
  return true;
}

}  // namespace ruzir

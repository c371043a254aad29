#include "show/surface.h"

#include <gtest/gtest.h>

namespace ruzir {
namespace {

TEST(Surface, StoredColourBecomesAPixelWithRedAndBlueSwapped) {
  struct Case {
    std::uint32_t color;
    std::uint32_t pixel;
  };
  const Case cases[] = {
      {0x00400040u, 0x00400040u},                              // the default: red 64, blue 64
      {0x000000FFu, 0x00FF0000u},                              // red
      {0x0000FF00u, 0x0000FF00u},                              // green
      {0x00FF0000u, 0x000000FFu},                              // blue
      {0x00123456u, 0x00563412u}, {0xFF123456u, 0x00563412u},  // the top byte is no colour
  };
  for (const auto& c : cases) EXPECT_EQ(PixelFromColor(c.color), c.pixel) << std::hex << c.color;
}

TEST(Surface, BytesRejectEmptyAndOversizedSurfaces) {
  struct Case {
    int width;
    int height;
    std::optional<std::size_t> bytes;
  };
  const Case cases[] = {
      {1, 1, 4},
      {1920, 1080, 8294400},
      {7680, 4320, 132710400},
      {0, 10, std::nullopt},
      {10, 0, std::nullopt},
      {-1, 10, std::nullopt},
      {10, -1, std::nullopt},
      {32768, 16384, std::nullopt},            // 2^31 bytes: one too many
      {32767, 16384, 2147418112u},             // just fits
      {2147483647, 2147483647, std::nullopt},  // would overflow 64-bit arithmetic done in int
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SurfaceBytes(c.width, c.height), c.bytes) << c.width << " x " << c.height;
  }
}

}  // namespace
}  // namespace ruzir

#include "show/resample.h"

#include <gtest/gtest.h>

#include <vector>

namespace ruzir {
namespace {

struct Picture {
  Picture(int width, int height, std::uint32_t pixel)
      : pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), pixel),
        view{pixels.data(), width, height} {}
  std::vector<std::uint32_t> pixels;
  SurfaceView view;
};

TEST(Resample, ASolidColourStaysExactAndLosesItsFourthByte) {
  struct Case {
    int fromWidth, fromHeight, toWidth, toHeight;
  };
  // The last three go through the box pre-shrink: by 18, by 4, and by 257,
  // where a full channel's sum over one block no longer fits in 32 bits.
  const Case cases[] = {{64, 48, 17, 9},   {5, 7, 230, 461},       {300, 2, 3, 2},  {1, 1, 2, 2},
                        {641, 479, 17, 9}, {6000, 4000, 648, 432}, {514, 514, 1, 1}};
  for (const auto& c : cases) {
    Picture from(c.fromWidth, c.fromHeight, 0xFFFF80C0u);
    Picture to(c.toWidth, c.toHeight, 0);
    ASSERT_TRUE(Resample(from.view, to.view));
    for (const std::uint32_t pixel : to.pixels) {
      ASSERT_EQ(pixel, 0x00FF80C0u)
          << c.fromWidth << "x" << c.fromHeight << " to " << c.toWidth << "x" << c.toHeight;
    }
  }
}

// Nearest-neighbour shrinking of a one-pixel checkerboard keeps only black or
// only white; a filter must give an even grey, in the filter alone (by 2) and
// with the box pre-shrink (by 8 and by 13, which leaves partial blocks).
TEST(Resample, ShrinkingFineDetailAveragesInsteadOfAliasing) {
  for (const int factor : {2, 8, 13}) {
    Picture from(32 * factor + factor / 2, 32 * factor, 0);
    for (int y = 0; y < from.view.height; ++y) {
      for (int x = 0; x < from.view.width; ++x) {
        from.view.At(x, y) = ((x + y) % 2) ? 0x00FFFFFFu : 0;
      }
    }
    Picture to(32, 32, 0);
    ASSERT_TRUE(Resample(from.view, to.view));
    for (const std::uint32_t pixel : to.pixels) {
      const auto blue = pixel & 0xFFu;
      ASSERT_EQ(pixel, blue * 0x010101u) << factor;  // grey: three equal channels
      // Half the light: 188 in sRGB (128 would be averaging without linear
      // light); the corners see the edge.
      ASSERT_NEAR(static_cast<double>(blue), 188.0, 8.0) << factor;
    }
  }
}

TEST(Resample, RefusesEmptySurfacesAndLeavesTheTargetAlone) {
  Picture picture(4, 4, 0x123456u);
  Picture target(2, 2, 0xABCDEFu);
  EXPECT_FALSE(Resample({nullptr, 4, 4}, target.view));
  EXPECT_FALSE(Resample({picture.pixels.data(), 0, 4}, target.view));
  EXPECT_FALSE(Resample(picture.view, {target.pixels.data(), 2, 0}));
  for (const std::uint32_t pixel : target.pixels) EXPECT_EQ(pixel, 0xABCDEFu);
}

}  // namespace
}  // namespace ruzir

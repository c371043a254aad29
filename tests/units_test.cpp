#include "support/units.h"

#include <gtest/gtest.h>

#include <limits>

namespace ruzir {
namespace {

TEST(Units, PixelsRoundHalfToEven) {
  struct Case {
    float twips;
    int pixels;
  };
  const Case cases[] = {
      {0.0f, 0},
      {7.0f, 0},
      {7.5f, 0},  // 0.5 -> 0
      {8.0f, 1},
      {22.5f, 2},  // 1.5 -> 2
      {37.5f, 2},  // 2.5 -> 2
      {52.5f, 4},  // 3.5 -> 4
      {-7.5f, 0},
      {-22.5f, -2},
      {-8.0f, -1},
      {11520.0f, 768},
      {1e12f, 1 << 30},
      {-1e12f, -(1 << 30)},  // saturate instead of overflowing
      {std::numeric_limits<float>::quiet_NaN(), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(PixelsFromTwips(c.twips, 15.0f), c.pixels) << c.twips;
}

TEST(Units, WholePixelsSurviveTheTripThroughTwipsAtCommonDpis) {
  for (const int dpi : {96, 120, 144, 168, 192, 240, 288}) {
    const float factor = TwipsScale::ForDpi(dpi, dpi).x;
    for (int pixels = 0; pixels <= 8192; ++pixels) {
      ASSERT_EQ(PixelsFromTwips(TwipsFromPixels(pixels, factor), factor), pixels)
          << pixels << " pixels at " << dpi << " DPI";
    }
  }
}

}  // namespace
}  // namespace ruzir

// Twips, the unit of every position and size of the show window.
//
// A twip is 1/1440 inch. Geometry is kept in single-precision twips and turned
// into device pixels only when something is placed or drawn, with the
// display's real dots per inch on each axis (15 twips per pixel at 96 DPI,
// 10 at 144 DPI). Pixels are rounded half to even, so that a size converted to
// twips and back gives the same pixels at every common DPI.
#pragma once

#include <cmath>

namespace ruzir {

struct TwipsScale {
  float x = 15.0f;  // twips per pixel, horizontally
  float y = 15.0f;  // twips per pixel, vertically

  static TwipsScale ForDpi(int dpiX, int dpiY) {
    return {1440.0f / static_cast<float>(dpiX), 1440.0f / static_cast<float>(dpiY)};
  }
};

// Nearest whole pixel, halves to the even neighbour. Relies on the default
// floating-point rounding mode, which the program never changes. Values far
// beyond any screen (a piece flown far out) saturate instead of overflowing.
inline int PixelsFromTwips(float twips, float twipsPerPixel) {
  constexpr double kLimit = 1 << 30;
  const double pixels = std::nearbyint(static_cast<double>(twips) / twipsPerPixel);
  if (!(pixels > -kLimit)) return pixels < 0 ? -(1 << 30) : 0;  // also NaN: 0
  return pixels < kLimit ? static_cast<int>(pixels) : 1 << 30;
}

inline float TwipsFromPixels(int pixels, float twipsPerPixel) {
  return static_cast<float>(pixels) * twipsPerPixel;
}

struct TwipsSize {
  float width = 0;
  float height = 0;
};

// A place on a window: left, top, width and height, twips.
struct TwipsRect {
  float left = 0;
  float top = 0;
  float width = 0;
  float height = 0;
};

}  // namespace ruzir

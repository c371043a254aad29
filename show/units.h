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
// floating-point rounding mode, which the program never changes.
inline int PixelsFromTwips(float twips, float twipsPerPixel) {
  return static_cast<int>(std::nearbyint(twips / twipsPerPixel));
}

inline float TwipsFromPixels(int pixels, float twipsPerPixel) {
  return static_cast<float>(pixels) * twipsPerPixel;
}

}  // namespace ruzir

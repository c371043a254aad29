// The turn is a walk through the stored pixels: the upright picture's
// top-left pixel comes from one of the stored picture's corners, and its rows
// run along the stored rows or, for the values that exchange rows and
// columns, down the stored columns. The upright picture is written row by
// row; reading down columns at a slide's size stays cheap enough untiled.
#include "show/orientation.h"

#include <cstddef>

namespace ruzir {
namespace {

// The EXIF value 1 to 8 of `orientation`, 1 for anything else.
int Value(Orientation orientation) {
  return static_cast<int>(OrientationFromExif(static_cast<std::uint32_t>(orientation)));
}

// Per value 1 to 8: the stored corner the walk starts at, and whether the
// upright rows run down the stored columns.
struct Walk {
  bool right, bottom, columns;
};
constexpr Walk kWalks[] = {{false, false, false}, {true, false, false}, {true, true, false},
                           {false, true, false},  {false, false, true}, {false, true, true},
                           {true, true, true},    {true, false, true}};

}  // namespace

Orientation OrientationFromExif(std::uint32_t value) {
  return value == 0 || value > 8 ? Orientation::Upright : static_cast<Orientation>(value);
}

PixelSize UprightSize(PixelSize stored, Orientation orientation) {
  if (Value(orientation) >= 5) return {stored.height, stored.width};
  return stored;
}

void TurnUpright(const SurfaceView& stored, Orientation orientation, const SurfaceView& upright) {
  if (UprightSize({stored.width, stored.height}, orientation) !=
      PixelSize{upright.width, upright.height}) {
    return;
  }
  const Walk walk = kWalks[Value(orientation) - 1];
  const std::ptrdiff_t width = stored.width;
  // Steps in the stored pixels to the next one along a row and down a column.
  const std::ptrdiff_t along = walk.right ? -1 : 1, downward = walk.bottom ? -width : width;
  const std::ptrdiff_t corner =
      (walk.right ? width - 1 : 0) + (walk.bottom ? (stored.height - 1) * width : 0);
  const std::ptrdiff_t across = walk.columns ? downward : along;
  const std::ptrdiff_t down = walk.columns ? along : downward;
  for (int y = 0; y < upright.height; ++y) {
    std::ptrdiff_t from = corner + y * down;
    for (int x = 0; x < upright.width; ++x, from += across) upright.At(x, y) = stored.pixels[from];
  }
}

}  // namespace ruzir

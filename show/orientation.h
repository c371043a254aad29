// Which way up a photo's pixels are stored.
//
// Cameras and phones store the sensor's pixels as they come and record in
// the JPEG's EXIF data (tag 274, Orientation) how they must be turned and
// flipped to stand upright. The show turns every picture upright; the
// slide's size and its upright/landscape rule use the upright size.
//
// The turn is made on the picture once it is scaled to its slide size, not
// on the photo: a 90-degree turn and a flip commute with the resampling, and
// turning the small picture costs a fraction of turning the large one.
#pragma once

#include <cstdint>

#include "support/surface.h"

namespace ruzir {

// The EXIF values 1 to 8, named by what makes the stored pixels upright:
// clockwise turns, and mirroring left to right.
enum class Orientation : std::uint8_t {
  Upright = 1,             // as stored
  Mirrored = 2,            // mirrored left to right
  Turned180 = 3,           // upside down
  MirroredUpsideDown = 4,  // mirrored top to bottom
  Transposed = 5,          // rows and columns exchanged (mirrored, then turned 270 degrees)
  Turned90 = 6,            // its top at the left: turn it 90 degrees clockwise
  Transversed = 7,         // mirrored, then turned 90 degrees clockwise
  Turned270 = 8,           // its top at the right: turn it 90 degrees anticlockwise
};

// The orientation of the EXIF value `value`; Upright for any value outside 1
// to 8 (absent, damaged or unknown).
Orientation OrientationFromExif(std::uint32_t value);

// The size of a picture stored at `stored` once upright: width and height
// exchanged for the values 5 to 8.
PixelSize UprightSize(PixelSize stored, Orientation orientation);

// Copies all of `stored` into `upright`, turned and mirrored to stand upright.
// `upright` has UprightSize of `stored`'s size; nothing is copied otherwise.
void TurnUpright(const SurfaceView& stored, Orientation orientation, const SurfaceView& upright);

}  // namespace ruzir

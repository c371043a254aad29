// Filtered resampling of a picture to the exact size it is shown at.
//
// Shrinking averages every source pixel under a target pixel (Mitchell
// filter) and enlarging interpolates (Catmull-Rom), both in linear light, so
// fine detail neither aliases nor darkens. The fourth byte of each pixel is
// not colour and comes out 0. A picture many times larger than its target is
// first box-averaged (in linear light too) down to two to four times the
// target, which costs a fraction of filtering every source pixel.
#pragma once

#include "support/surface.h"

namespace ruzir {

// Resamples all of `from` into all of `to`. False when either is empty or
// the work memory cannot be had; `to` is then unchanged.
bool Resample(const SurfaceView& from, const SurfaceView& to);

}  // namespace ruzir

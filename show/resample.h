// Filtered resampling of a picture to the exact size it is shown at.
//
// Shrinking averages every source pixel under a target pixel (Mitchell
// filter) and enlarging interpolates (Catmull-Rom), both in linear light, so
// fine detail neither aliases nor darkens. The fourth byte of each pixel is
// not colour and comes out 0. A picture many times larger than its target is
// first box-averaged (in linear light too) down to two to four times the
// target, which costs a fraction of filtering every source pixel.
//
// A camera photo need never be held whole at 32 bits a pixel: it arrives in
// bands of rows from the top, each box-shrunk as it comes, and only the
// shrunk picture waits for the filter. Besides the target, one band and the
// shrunk picture are held. A photo less than four times its target on an
// axis is not box-shrunk: its bands are gathered whole for the filter, which
// is then at most 16 times the target. One of the target's own size needs no
// filter: its bands are written straight into the target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "support/surface.h"

namespace ruzir {

class BandResampler {
 public:
  // About this many bytes of source pixels make a band.
  static constexpr std::size_t kBandBytes = std::size_t{512} << 10;

  // Ready to resample a picture of `source` size into all of `target`, in
  // bands of about `bandBytes` bytes.
  BandResampler(PixelSize source, const SurfaceView& target, std::size_t bandBytes = kBandBytes);

  BandResampler(const BandResampler&) = delete;
  BandResampler& operator=(const BandResampler&) = delete;

  // Where the next band goes: rows of the source's full width from row
  // BandTop() down, a multiple of the box factor making about the band size
  // (fewer for the last). Empty once every row has arrived, and from the
  // start when either size is empty or the work memory cannot be had.
  SurfaceView Band() const { return next_; }
  int BandTop() const { return top_; }

  // Takes the band written into Band(). The last one's arrival filters the
  // picture into the target; false when that fails (the target is then
  // unchanged) or no band is awaited.
  bool Take();

 private:
  SurfaceView Rows(int top);

  SurfaceView target_;
  PixelSize source_;
  int factor_ = 1;    // of the box pre-shrink; 1 for none
  int bandRows_ = 0;  // of every band but the last
  int top_ = 0;
  SurfaceView next_;
  std::vector<std::uint32_t> band_;          // only when box-shrinking
  std::vector<std::uint32_t> shrunkPixels_;  // none when the target is the source's size
  SurfaceView shrunk_;                       // what the filter gets
};

// Resamples all of `from` into all of `to`. False when either is empty or
// the work memory cannot be had; `to` is then unchanged.
bool Resample(const SurfaceView& from, const SurfaceView& to);

// The size to decode a picture stored at `stored` at, to resample it into
// `target`: the smallest of 1/8, 1/4 and 1/2 of it (rounded up) still at
// least the target on both axes, among those `native` says the codec makes
// itself while decoding; `stored` when there is none.
PixelSize DecodeTimeSize(PixelSize stored, PixelSize target,
                         const std::function<bool(PixelSize)>& native);

}  // namespace ruzir

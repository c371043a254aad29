#include "show/resample.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <optional>
#include <vector>

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
namespace {

// sRGB bytes to 16-bit linear light and back; the round trip of every byte is
// exact, so a solid colour survives the box filter unchanged.
struct LinearTables {
  std::array<std::uint16_t, 256> toLinear{};
  std::vector<std::uint8_t> toSrgb = std::vector<std::uint8_t>(65536);

  LinearTables() {
    for (int b = 0; b < 256; ++b) {
      const double c = b / 255.0;
      const double linear = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
      toLinear[static_cast<std::size_t>(b)] =
          static_cast<std::uint16_t>(std::lround(linear * 65535));
    }
    for (int i = 0; i < 65536; ++i) {
      const double linear = i / 65535.0;
      const double c =
          linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
      toSrgb[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(std::lround(c * 255));
    }
  }
};

const LinearTables& Tables() {
  static const LinearTables tables;
  return tables;
}

// The fourth byte carries no colour and is left 0.
void ClearFourthBytes(const SurfaceView& surface) {
  const auto count =
      static_cast<std::size_t>(surface.width) * static_cast<std::size_t>(surface.height);
  for (std::size_t i = 0; i < count; ++i) surface.pixels[i] &= 0x00FFFFFFu;
}

// Averages each factor x factor block in linear light (blocks at the right
// and bottom edges average what they have). A cheap first step for a picture
// many times larger than its target: the filter then works on at most four
// times the target's pixels. Sums are 64-bit: a block of more than 65,537
// pixels of 16-bit values would overflow 32 bits (a factor of 257 does).
void BoxShrink(const SurfaceView& from, int factor, const SurfaceView& to) {
  const LinearTables& t = Tables();
  std::vector<std::uint64_t> sums(static_cast<std::size_t>(to.width) * 3);
  for (int ty = 0; ty < to.height; ++ty) {
    std::fill(sums.begin(), sums.end(), std::uint64_t{0});
    const int y0 = ty * factor;
    const int y1 = std::min(y0 + factor, from.height);
    for (int y = y0; y < y1; ++y) {
      const std::uint32_t* row = &from.At(0, y);
      std::uint64_t* sum = sums.data();
      for (int x0 = 0; x0 < from.width; x0 += factor, sum += 3) {
        const int x1 = std::min(x0 + factor, from.width);
        std::uint64_t b = 0;
        std::uint64_t g = 0;
        std::uint64_t r = 0;
        for (int x = x0; x < x1; ++x) {
          const std::uint32_t p = row[x];
          b += t.toLinear[p & 0xFFu];
          g += t.toLinear[(p >> 8) & 0xFFu];
          r += t.toLinear[(p >> 16) & 0xFFu];
        }
        sum[0] += b;
        sum[1] += g;
        sum[2] += r;
      }
    }
    for (int tx = 0; tx < to.width; ++tx) {
      const int x0 = tx * factor;
      const auto count = static_cast<std::uint64_t>(std::min(x0 + factor, from.width) - x0) *
                         static_cast<std::uint64_t>(y1 - y0);
      const std::uint64_t* sum = &sums[static_cast<std::size_t>(tx) * 3];
      const auto channel = [&](int i) -> std::uint32_t {
        return t.toSrgb[static_cast<std::size_t>((sum[i] + count / 2) / count)];
      };
      to.At(tx, ty) = channel(0) | (channel(1) << 8) | (channel(2) << 16);
    }
  }
}

// The filter from a picture to the target's size: false when its work memory
// cannot be had, before anything is written.
bool Filter(const SurfaceView& from, const SurfaceView& to) {
  constexpr int kChannels = 4;  // B, G, R and the unused byte, as the surfaces hold them
  const int ok = stbir_resize_uint8_srgb(
      reinterpret_cast<const unsigned char*>(from.pixels), from.width, from.height,
      from.width * kChannels, reinterpret_cast<unsigned char*>(to.pixels), to.width, to.height,
      to.width * kChannels, kChannels, STBIR_ALPHA_CHANNEL_NONE, 0);
  if (!ok) return false;
  ClearFourthBytes(to);
  return true;
}

}  // namespace

BandResampler::BandResampler(PixelSize source, const SurfaceView& target, std::size_t bandBytes)
    : target_(target), source_(source) {
  if (target.pixels == nullptr || target.width <= 0 || target.height <= 0 || source.width <= 0 ||
      source.height <= 0) {
    return;
  }
  // A box pre-shrink by a whole factor, as long as at least twice the target
  // remains for the filter.
  factor_ = std::max(std::min(source.width / target.width, source.height / target.height) / 2, 1);
  const std::size_t rowBytes = static_cast<std::size_t>(source.width) * 4;
  const std::size_t fit = std::max<std::size_t>(bandBytes / rowBytes / factor_, 1) * factor_;
  bandRows_ = static_cast<int>(std::min(fit, static_cast<std::size_t>(source.height)));
  if (source != PixelSize{target.width, target.height}) {
    const int width = (source.width + factor_ - 1) / factor_;
    const int height = (source.height + factor_ - 1) / factor_;
    const auto shrunkBytes = SurfaceBytes(width, height);
    const auto heldBandBytes =
        factor_ > 1 ? SurfaceBytes(source.width, bandRows_) : std::optional<std::size_t>{0};
    if (!shrunkBytes || !heldBandBytes) return;
    try {
      shrunkPixels_.resize(*shrunkBytes / 4);
      band_.resize(*heldBandBytes / 4);
    } catch (const std::bad_alloc&) {
      return;
    }
    shrunk_ = {shrunkPixels_.data(), width, height};
  }
  next_ = Rows(0);
}

SurfaceView BandResampler::Rows(int top) {
  const int rows = std::min(bandRows_, source_.height - top);
  if (rows <= 0) return {};
  if (!band_.empty()) return {band_.data(), source_.width, rows};
  // Unshrunk, the bands go straight into the picture the filter gets, or
  // into the target.
  const SurfaceView whole = shrunk_.pixels != nullptr ? shrunk_ : target_;
  return {&whole.At(0, top), source_.width, rows};
}

bool BandResampler::Take() {
  if (next_.pixels == nullptr) return false;
  if (!band_.empty()) {
    const int rows = (next_.height + factor_ - 1) / factor_;
    BoxShrink(next_, factor_, {&shrunk_.At(0, top_ / factor_), shrunk_.width, rows});
  } else if (shrunk_.pixels == nullptr) {
    ClearFourthBytes(next_);
  }
  top_ += next_.height;
  next_ = Rows(top_);
  if (next_.pixels != nullptr || shrunk_.pixels == nullptr) return true;
  band_ = {};  // of no more use
  return Filter(shrunk_, target_);
}

bool Resample(const SurfaceView& from, const SurfaceView& to) {
  if (from.pixels == nullptr) return false;
  BandResampler resampler({from.width, from.height}, to);
  SurfaceView band = resampler.Band();
  if (band.pixels == nullptr) return false;
  for (; band.pixels != nullptr; band = resampler.Band()) {
    std::copy_n(&from.At(0, resampler.BandTop()),
                static_cast<std::size_t>(band.width) * static_cast<std::size_t>(band.height),
                band.pixels);
    if (!resampler.Take()) return false;
  }
  return true;
}

PixelSize DecodeTimeSize(PixelSize stored, PixelSize target,
                         const std::function<bool(PixelSize)>& native) {
  for (int shift = 3; shift >= 1; --shift) {
    const auto reduced = [shift](int side) { return (side + (1 << shift) - 1) >> shift; };
    const PixelSize size{reduced(stored.width), reduced(stored.height)};
    if (size.width >= target.width && size.height >= target.height && native(size)) return size;
  }
  return stored;
}

}  // namespace ruzir

#include "support/surface.h"

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

TEST(Surface, RectanglesIntersectAndUnite) {
  struct Case {
    PixelRect a, b, intersection, both;
  };
  const Case cases[] = {
      {{0, 0, 10, 10}, {5, 5, 20, 20}, {5, 5, 10, 10}, {0, 0, 20, 20}},
      {{0, 0, 10, 10}, {10, 0, 20, 10}, {}, {0, 0, 20, 10}},  // touching: nothing shared
      {{0, 0, 10, 10}, {}, {}, {0, 0, 10, 10}},               // the empty one adds nothing
      {{}, {-5, -5, -1, -1}, {}, {-5, -5, -1, -1}},
      {{3, 3, 3, 9}, {}, {}, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Intersect(c.a, c.b), c.intersection);
    EXPECT_EQ(Union(c.a, c.b), c.both);
  }
}

// Copies checked pixel by pixel against the definition: a target pixel takes
// the source pixel over it when it lies inside the clip, inside the source
// rectangle and inside the source surface.
TEST(Surface, CopyRectClipsToBothSurfacesTheSourceRectangleAndTheClip) {
  struct Case {
    const char* name;
    PixelRect rect;  // of the 4 x 3 source
    int x, y;
    PixelRect clip;
  };
  const PixelRect whole{0, 0, 4, 3};
  const PixelRect all{0, 0, 7, 5};
  const Case cases[] = {
      {"inside", whole, 2, 1, all},
      {"over the top-left corner", whole, -2, -1, all},
      {"over the bottom-right corner", whole, 5, 4, all},
      {"wholly outside", whole, 7, 0, all},
      {"far outside", whole, -2147483647, 2147483647, all},
      {"clip cuts it", whole, 1, 1, {2, 2, 4, 3}},
      {"clip beyond the target", whole, 0, 0, {-10, -10, 100, 100}},
      {"empty clip", whole, 1, 1, {}},
      {"a piece of the source", {1, 1, 3, 3}, 4, 0, all},
      {"a rectangle reaching beyond the source", {-1, -2, 6, 2}, 1, 1, all},
  };
  for (const auto& c : cases) {
    std::vector<std::uint32_t> sourcePixels(4 * 3);
    for (std::size_t i = 0; i < sourcePixels.size(); ++i) sourcePixels[i] = 0x100u + i;
    std::vector<std::uint32_t> targetPixels(7 * 5, 0xEEu);
    const SurfaceView source{sourcePixels.data(), 4, 3};
    const SurfaceView target{targetPixels.data(), 7, 5};
    CopyRect(source, c.rect, target, c.x, c.y, c.clip);
    for (int ty = 0; ty < 5; ++ty) {
      for (int tx = 0; tx < 7; ++tx) {
        const long long sx = static_cast<long long>(tx) - c.x + c.rect.left;
        const long long sy = static_cast<long long>(ty) - c.y + c.rect.top;
        const bool inClip =
            tx >= c.clip.left && tx < c.clip.right && ty >= c.clip.top && ty < c.clip.bottom;
        const bool inRect =
            sx >= c.rect.left && sx < c.rect.right && sy >= c.rect.top && sy < c.rect.bottom;
        const bool inSource = sx >= 0 && sx < 4 && sy >= 0 && sy < 3;
        const std::uint32_t expected = inClip && inRect && inSource
                                           ? source.At(static_cast<int>(sx), static_cast<int>(sy))
                                           : 0xEEu;
        ASSERT_EQ(target.At(tx, ty), expected) << c.name << " at " << tx << "," << ty;
      }
    }
  }
}

// Every composed pixel is the overlay's where the overlay is, else the
// persistent picture's; pixels outside the area keep what the frame held.
TEST(Surface, ComposeLaysTheOverlayOnThePersistentPictureWithinTheArea) {
  struct Case {
    const char* name;
    bool overlay;
    int x, y;
    PixelRect area;
  };
  const Case cases[] = {
      {"overlay inside the area", true, 3, 2, {1, 1, 9, 7}},
      {"area inside the overlay", true, 1, 1, {2, 2, 4, 3}},
      {"overlay across the corner", true, -2, -1, {0, 0, 10, 8}},
      {"overlay beyond the area", true, 7, 5, {0, 0, 5, 4}},
      {"no overlay", false, 3, 2, {2, 2, 8, 6}},
      {"area beyond the frame", true, 6, 4, {-3, -3, 20, 20}},
  };
  for (const auto& c : cases) {
    std::vector<std::uint32_t> persistentPixels(10 * 8);
    for (std::size_t i = 0; i < persistentPixels.size(); ++i) persistentPixels[i] = 0x1000u + i;
    std::vector<std::uint32_t> overlayPixels(4 * 3);
    for (std::size_t i = 0; i < overlayPixels.size(); ++i) overlayPixels[i] = 0x2000u + i;
    std::vector<std::uint32_t> framePixels(10 * 8, 0xEEu);
    const SurfaceView persistent{persistentPixels.data(), 10, 8};
    const SurfaceView overlay = c.overlay ? SurfaceView{overlayPixels.data(), 4, 3} : SurfaceView{};
    const SurfaceView frame{framePixels.data(), 10, 8};
    Compose(persistent, overlay, c.x, c.y, frame, c.area);
    for (int fy = 0; fy < 8; ++fy) {
      for (int fx = 0; fx < 10; ++fx) {
        const bool inArea =
            fx >= c.area.left && fx < c.area.right && fy >= c.area.top && fy < c.area.bottom;
        const bool onOverlay = c.overlay && fx >= c.x && fx < c.x + 4 && fy >= c.y && fy < c.y + 3;
        const std::uint32_t expected = !inArea     ? 0xEEu
                                       : onOverlay ? overlay.At(fx - c.x, fy - c.y)
                                                   : persistent.At(fx, fy);
        ASSERT_EQ(frame.At(fx, fy), expected) << c.name << " at " << fx << "," << fy;
      }
    }
  }
}

}  // namespace
}  // namespace ruzir

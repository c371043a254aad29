// Twips, pixel surfaces and long paths.
#include <limits>

#include "support/long_path.h"
#include "support/units.h"
#include "test_support.h"

namespace ruzir::test {
namespace {

TEST(Units, ScalePerAxisAndPixelsRoundedHalfToEven) {
  EXPECT_EQ(std::tuple(TwipsScale::ForDpi(96, 144).x, TwipsScale::ForDpi(96, 144).y),
            std::tuple(15.0f, 10.0f));
  const std::tuple<float, float, int> cases[] = {
      {7.5f, 15, 0},    {8, 15, 1},   {22.5f, 15, 2}, {37.5f, 15, 2}, {52.5f, 15, 4},
      {-22.5f, 15, -2}, {-8, 15, -1}, {25, 10, 2},    {35, 10, 4},    {11520, 15, 768}};
  for (const auto& [twips, scale, pixels] : cases)
    EXPECT_EQ(PixelsFromTwips(twips, scale), pixels) << twips;
  EXPECT_EQ(PixelsFromTwips(1e12f, 15), 1 << 30);  // far beyond any screen: saturated
  EXPECT_EQ(PixelsFromTwips(-1e12f, 15), -(1 << 30));
  EXPECT_EQ(PixelsFromTwips(std::numeric_limits<float>::quiet_NaN(), 15), 0);
  for (const int dpi : {96, 120, 144, 168, 192, 240, 288}) {  // whole pixels survive the trip
    const float scale = TwipsScale::ForDpi(dpi, dpi).y;
    for (int p = -4096; p <= 4096; ++p)
      ASSERT_EQ(PixelsFromTwips(TwipsFromPixels(p, scale), scale), p) << dpi;
  }
}

// A DIB's byte count must fit in 31 bits (0: refused); touching rectangles
// share nothing, and an empty one adds nothing to a union.
TEST(Surface, BytesFillAndRectangles) {
  const int kMax = std::numeric_limits<int>::max();
  const std::tuple<int, int, std::size_t> sizes[] = {{1, 1, 4},         {32767, 16384, 2147418112u},
                                                     {32768, 16384, 0}, {0, 1, 0},
                                                     {1, 0, 0},         {-1, 1, 0},
                                                     {kMax, kMax, 0}};
  for (const auto& [w, h, bytes] : sizes)
    EXPECT_EQ(SurfaceBytes(w, h).value_or(0), bytes) << w << " x " << h;
  EXPECT_EQ(PixelFromColor(0xFF123456u), 0x00563412u);  // 0x00BBGGRR to 0x00RRGGBB
  Pixels buffer(8, 1);                                  // a 3 x 2 surface and two pixels beyond it
  for (const SurfaceView& s : {SurfaceView{buffer.pixels.data(), 3, 2},
                               {buffer.pixels.data(), 0, 2},
                               {buffer.pixels.data(), 3, -1},
                               {nullptr, 3, 2}}) {
    Fill(s, 0xAB);
  }
  EXPECT_EQ(buffer.pixels, (std::vector<std::uint32_t>{0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 6, 7}));
  const std::array<PixelRect, 4> pairs[] = {
      // a, b, their intersection, their union
      {{{0, 0, 10, 10}, {5, -5, 20, 8}, {5, 0, 10, 8}, {0, -5, 20, 10}}},
      {{{0, 0, 10, 10}, {10, 0, 20, 10}, {}, {0, 0, 20, 10}}},
      {{{0, 0, 10, 10}, {0, 10, 10, 20}, {}, {0, 0, 10, 20}}},
      {{{3, 3, 3, 9}, {-5, -5, -1, -1}, {}, {-5, -5, -1, -1}}},
      {{{-5, -5, -1, -1}, {3, 3, 9, 3}, {}, {-5, -5, -1, -1}}}};
  for (const auto& [a, b, shared, both] : pairs) {
    EXPECT_EQ(std::tuple(Intersect(a, b), Union(a, b)), std::tuple(shared, both));
  }
}

// CopyRect copies a pixel when it lies inside the clip, the source rectangle
// and the source surface. Compose shows, inside the area, the overlay where
// it is and the persistent picture elsewhere; outside, the frame keeps its
// pixels.
TEST(Surface, CopyRectAndComposeClipToEverySurfaceAndRectangle) {
  const PixelRect whole{0, 0, 4, 3}, all{0, 0, 7, 5}, part{1, 1, 3, 3}, over{-1, -2, 6, 2};
  const std::tuple<PixelRect, int, int, PixelRect> copies[] = {
      {whole, 2, 1, all},
      {whole, -2, -1, all},
      {whole, 5, 4, all},
      {whole, 9, 0, all},
      {whole, 0, 6, all},
      {whole, 1, 1, part},
      {whole, 0, 0, over},
      {part, 4, 0, all},
      {over, 1, 1, all},
      {whole, 1, 1, {}},
      {whole, -2147483647, 2147483647, all}};
  for (const auto& [rect, x, y, clip] : copies) {
    Pixels from(4, 3, 0x100), to(7, 5, 0xEE, 0);
    CopyRect(from.view, rect, to.view, x, y, clip);
    ExpectPixels(
        to.view,
        [&](long long tx, long long ty) {
          const long long sx = tx - x + rect.left, sy = ty - y + rect.top;
          return In(clip, tx, ty) && In(rect, sx, sy) && In(whole, sx, sy) ? 0x100 + sy * 4 + sx
                                                                           : 0xEE;
        },
        "copy to " + std::to_string(x));
  }
  const std::tuple<bool, int, int, PixelRect> composes[] = {
      {true, 3, 2, {1, 1, 9, 7}}, {true, 1, 1, {2, 2, 4, 3}},  {true, -2, -1, {0, 0, 10, 8}},
      {true, 7, 5, {0, 0, 5, 4}}, {false, 3, 2, {2, 2, 8, 6}}, {true, 6, 4, {-3, -3, 20, 20}}};
  for (const auto& [on, x, y, area] : composes) {
    Pixels persistent(10, 8, 0x1000), overlay(4, 3, 0x2000), frame(10, 8, 0xEE, 0);
    Compose(persistent.view, on ? overlay.view : SurfaceView{}, x, y, frame.view, area);
    ExpectPixels(
        frame.view,
        [&](int fx, int fy) {
          if (!In(area, fx, fy)) return 0xEEu;
          return on && In({x, y, x + 4, y + 3}, fx, fy) ? overlay.view.At(fx - x, fy - y)
                                                        : persistent.view.At(fx, fy);
        },
        "overlay at " + std::to_string(x));
  }
}

TEST(ExtendedLengthPath, PrefixesOnlyLongAbsolutePaths) {
  const std::wstring tail(300, L'a'), fits(kClassicPathLimit - 4, L'b');  // "C:\" + 256 = 259
  EXPECT_EQ(ExtendedLengthPath(L"C:\\" + fits), L"C:\\" + fits);
  EXPECT_EQ(ExtendedLengthPath(L"C:\\" + fits + L"b"), L"\\\\?\\C:\\" + fits + L"b");
  EXPECT_EQ(ExtendedLengthPath(L"z:/" + tail + L"/c"), L"\\\\?\\z:\\" + tail + L"\\c");
  EXPECT_EQ(ExtendedLengthPath(L"//server/share\\" + tail), L"\\\\?\\UNC\\server\\share\\" + tail);
  for (const wchar_t drive : std::wstring(L"AZaz@[`{1")) {  // the first four are letters
    const std::wstring path = drive + (L":\\" + tail);
    EXPECT_EQ(ExtendedLengthPath(path),
              std::wstring(L"AZaz").find(drive) < 4 ? L"\\\\?\\" + path : path);
  }
  for (const auto& path : {L"\\\\?\\C:\\" + tail, L"\\\\.\\C:\\" + tail, L"C:" + tail, L"\\" + tail,
                           L"a\\\\" + tail}) {
    EXPECT_EQ(ExtendedLengthPath(path), path) << path.substr(0, 5);
  }
}

}  // namespace
}  // namespace ruzir::test

// Twips, pixel surfaces, seeds and long paths.
#include <limits>
#include "support/long_path.h"
#include "support/units.h"
#include "test_support.h"

namespace ruzir::test {
TEST(Support, TwipsAndSurfaces) {
  const TwipsScale scale = TwipsScale::ForDpi(96, 144);
  EXPECT_EQ(std::tuple(scale.x, scale.y), std::tuple(15.0f, 10.0f));
  // clang-format off
  const std::tuple<float, float, int> cases[] = {
      {7.5f, 15, 0}, {8, 15, 1}, {22.5f, 15, 2}, {37.5f, 15, 2}, {52.5f, 15, 4}, {-22.5f, 15, -2},
      {-8, 15, -1}, {25, 10, 2}, {35, 10, 4}, {11520, 15, 768}, {1e12f, 15, 1 << 30},
      {-1e12f, 15, -(1 << 30)}, {std::numeric_limits<float>::quiet_NaN(), 15, 0}};
  for (const auto& [twips, per, pixels] : cases) EXPECT_EQ(PixelsFromTwips(twips, per), pixels);
  // A DIB's byte count must fit in 31 bits (1: refused); touching rectangles
  // share nothing, and an empty one adds nothing to a union.
  constexpr int kMax = std::numeric_limits<int>::max();
  const std::tuple<int, int, std::size_t> sizes[] = {
      {1, 1, 4}, {32767, 16384, 2147418112u}, {32768, 16384, 1}, {0, 1, 1}, {1, 0, 1}, {-1, 1, 1},
      {kMax, kMax, 1}};
  const PixelRect box{0, 0, 10, 10}, low{-5, -5, -1, -1};
  const std::array<PixelRect, 4> pairs[] = {  // a, b, their intersection, their union
      {{box, {5, -5, 20, 8}, {5, 0, 10, 8}, {0, -5, 20, 10}}},
      {{box, {10, 0, 20, 10}, {}, {0, 0, 20, 10}}}, {{low, {3, 3, 9, 3}, {}, low}},
      {{box, {0, 10, 10, 20}, {}, {0, 0, 10, 20}}}, {{{3, 3, 3, 9}, low, {}, low}}};
  // clang-format on
  for (const auto& [w, h, bytes] : sizes) EXPECT_EQ(SurfaceBytes(w, h).value_or(1), bytes) << w;
  for (const auto& [a, b, both, either] : pairs) {
    EXPECT_EQ(std::tuple(Intersect(a, b), Union(a, b)), std::tuple(both, either));
  }
  Pixels buffer(8, 1);  // a 3 x 2 surface and two pixels beyond
  std::uint32_t* const p = buffer.pixels.data();
  for (const SurfaceView& s : {SurfaceView{p, 3, 2}, {p, 0, 2}, {p, 3, -1}, {nullptr, 3, 2}})
    Fill(s, 0xAB);
  EXPECT_EQ(buffer.pixels, (std::vector<std::uint32_t>{0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 6, 7}));
  FixedUniform draw({0.75f});  // a seed spans the 32 bits
  EXPECT_EQ(DrawSeed(draw), 3u << 30);
}

TEST(ExtendedLengthPath, PrefixesOnlyLongAbsolutePaths) {
  const std::wstring tail(300, L'a'), fits(kClassicPathLimit - 4, L'b');  // "C:\" + 256 = 259
  EXPECT_EQ(ExtendedLengthPath(L"C:\\" + fits), L"C:\\" + fits);
  EXPECT_EQ(ExtendedLengthPath(L"C:\\" + fits + L"b"), L"\\\\?\\C:\\" + fits + L"b");
  EXPECT_EQ(ExtendedLengthPath(L"z:/" + tail + L"/c"), L"\\\\?\\z:\\" + tail + L"\\c");
  EXPECT_EQ(ExtendedLengthPath(L"//server/s\\" + tail), L"\\\\?\\UNC\\server\\s\\" + tail);
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

}  // namespace ruzir::test

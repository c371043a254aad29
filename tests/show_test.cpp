// The show's plain parts: pictures, headers, resampling, the slide, the cursor,
// the monitors.
#include "show/cursor_watch.h"
#include "show/image_list.h"
#include "show/monitor_layout.h"
#include "show/picture_header.h"
#include "show/resample.h"
#include "show/slide.h"
#include "test_support.h"

namespace ruzir::test {
using namespace std::literals;

// What each pattern finds, wildcard quirks included, listed by hand.
struct FakeSearch final : DirectorySearch {
  void Find(std::wstring_view folder, std::wstring_view pattern,
            const std::function<bool(const DirectoryEntry&)>& found) override {
    searched += std::wstring(folder) + std::wstring(pattern) + L" ";
    for (const auto& entry : results[std::wstring(pattern)])
      if (!found(entry)) return;
  }
  std::map<std::wstring, std::vector<DirectoryEntry>> results;
  std::wstring searched;
};

// The decoders' own lists, as Wine's and as a Windows with more codecs
// declare them: picture formats only, JPEG and BMP first whatever is declared.
TEST(ImageList, PatternsFromDecoders) {
  const std::pair<std::vector<std::wstring>, std::wstring> cases[] = {
      {{}, L"*.jpg *.jpeg *.bmp "},
      {{L".bmp,.dib,.rle", L".png", L".ico", L".jpeg,.jpe,.jpg,.jfif,.exif", L".gif", L".tiff,.tif",
        L".dds", L".tga,.tpic", L".jxr,.hdp,.wdp"},
       L"*.jpg *.jpeg *.bmp *.png *.gif *.tif *.tiff *.jxr *.wdp *.hdp "},
      {{L".CUR;.ANI", L".HEIC, .Heif ,.hif;.avif", L".CR2,.NEF,.dng", L"webp", L".jxl."},
       L"*.jpg *.jpeg *.bmp *.heic *.heif *.hif *.avif "}};
  for (const auto& [declared, wanted] : cases) {
    std::wstring patterns;
    for (const std::wstring& pattern : ImagePatterns(declared)) patterns += pattern + L" ";
    EXPECT_EQ(patterns, wanted);
  }
}

// "*.jpg" finds "p.jpeg" and "x.jpgx" by their short names; ordinary files
// are kept under their own pattern, at most 32,767.
TEST(ImageList, FilesAndPicks) {
  FakeSearch search, full;
  search.results[L"*.jpg"] = {{L"z.jpg", 0x20},  {L"p.jpeg", 0},  {L"A.JPG", 0x1}, {L"d.jpg", 0x10},
                              {L"h.jpg", 0x2},   {L"s.jpg", 0x4}, {L"x.jpgx", 0},  {L"jpg", 0},
                              {L"a.jpg.png", 0}, {L".jpg", 0}};
  search.results[L"*.jpeg"] = {{L"p.jpeg", 0x20}, {L"b.Jpeg", 0}};
  search.results[L"*.bmp"] = {{L"c.bmp", 0}};
  search.results[L"*.tif"] = {{L"t.tiff", 0}, {L"t.tif", 0}};
  const std::vector<std::wstring> patterns = {L"*.jpg", L"*.jpeg", L"*.bmp", L"*.tif"};
  const ImageList list = BuildImageList(L"P\\", patterns, search);
  std::wstring files;
  for (std::int16_t i = 1; i <= list.Count(); ++i) files += list.File(i) + L" ";
  EXPECT_EQ(files, L"P\\z.jpg P\\A.JPG P\\.jpg P\\p.jpeg P\\b.Jpeg P\\c.bmp P\\t.tif ");
  EXPECT_EQ(search.searched, L"P\\*.jpg P\\*.jpeg P\\*.bmp P\\*.tif ");
  for (int i = 0; i < 32768; ++i) full.results[L"*.jpg"].push_back({std::to_wstring(i) + L".jpg"});
  const ImageList capped = BuildImageList(L"D:\\", patterns, full);
  ASSERT_EQ(capped.Count(), 32767);
  EXPECT_EQ(std::tuple(capped.File(32767), full.searched),
            std::tuple(L"D:\\32766.jpg", L"D:\\*.jpg "));
  // A pick tries a file at most once, a resting one replaced by the k-th open
  // one; a failed file rests for as many picks as there are files, unless all do.
  // Files shown elsewhere are closed too, until every other file has failed.
  using List = std::vector<std::int16_t>;
  using Pick = std::tuple<List, List, std::vector<float>, List, int>;  // failing, avoided, draws
  // clang-format off
  const std::pair<std::int16_t, std::vector<Pick>> cases[] = {         // : tried, picked
      {4, {{{}, {}, {0.5f}, {3}, 3}, {{3}, {}, {0.5f, 0.0f}, {3, 1}, 1}}},
      {4, {{{3, 1}, {}, {0.5f, 0.0f, 0.5f, 0.6f}, {3, 1, 4}, 4}}},
      {5, {{{1, 2, 3, 4}, {}, {0}, {1, 2, 3, 4, 5}, 5}}},
      {2, {{{1, 2}, {}, {0}, {1, 2}, 0}, {{1, 2}, {}, {0}, {1, 2}, 0}, {{}, {}, {0}, {1}, 1}}},
      {3, {{{1}, {}, {0}, {1, 2}, 2}, {{}, {}, {0}, {2}, 2}, {{}, {}, {0}, {2}, 2},
           {{}, {}, {0}, {1}, 1}}},
      {4, {{{}, {3, 9}, {0.5f, 0.0f}, {1}, 1}, {{1}, {2, 4}, {0.0f, 0.6f}, {1, 3}, 3},
           {{}, {4}, {0.9f}, {3}, 3}}},
      {3, {{{3}, {1, 2}, {0.0f}, {3, 1}, 1}, {{}, {1, 2, 3}, {0.9f}, {2}, 2}}}};
  // clang-format on
  for (const auto& [count, picks] : cases) {
    ImagePicker picker(count);
    for (const auto& [broken, avoid, draws, expected, shown] : picks) {
      FixedUniform random(draws);
      List tried;
      const auto loaded = picker.PickAndLoad(
          random,
          [&](auto i) {
            return tried.push_back(i), std::count(broken.begin(), broken.end(), i) == 0;
          },
          avoid);
      EXPECT_EQ(std::tuple(loaded.value_or(0), tried), std::tuple(shown, expected)) << count;
    }
  }
}

// A 3 x 2 picture's pixels 0 to 5 upright, row by row; values outside 1 to 8
// leave it as stored. A surface of another size is left alone.
TEST(Orientation, EveryValueTurnsUpright) {
  const std::tuple<std::uint32_t, int, std::vector<std::uint32_t>> cases[] = {
      {0, 3, {0, 1, 2, 3, 4, 5}}, {1, 3, {0, 1, 2, 3, 4, 5}}, {2, 3, {2, 1, 0, 5, 4, 3}},
      {3, 3, {5, 4, 3, 2, 1, 0}}, {4, 3, {3, 4, 5, 0, 1, 2}}, {5, 2, {0, 3, 1, 4, 2, 5}},
      {6, 2, {3, 0, 4, 1, 5, 2}}, {7, 2, {5, 2, 4, 1, 3, 0}}, {8, 2, {2, 5, 1, 4, 0, 3}},
      {9, 3, {0, 1, 2, 3, 4, 5}}};
  const Pixels stored(3, 2);
  for (auto [value, width, expected] : cases) {
    const Orientation turn = OrientationFromExif(value);
    const PixelSize size = UprightSize({3, 2}, turn);
    Pixels out(9, 1, 99, 0);  // six pixels and three after them, kept by the wrong size
    TurnUpright(stored.view, turn, {out.pixels.data(), width, 6 / width + 1});
    TurnUpright(stored.view, turn, {out.pixels.data(), size.width, size.height});
    expected.resize(9, 99);
    EXPECT_EQ(std::pair(size, out.pixels), std::pair(PixelSize{width, 6 / width}, expected))
        << value;
  }
}

// A solid colour stays exact, box-shrunk first or not (by 4, 18, 111, 257).
// Averages are of light, to the nearest: 0 and 255 give 188 (not 128), 0 and
// 16 give 8.54, so 9.
TEST(Resample, ExactColoursLinearLightAndTheBoxFactor) {
  const auto ResampleInto = [](const Pixels& from, Pixels& to, int width, int height) {
    const bool ok = Resample(from.view, {to.pixels.data(), width, height});
    EXPECT_EQ(to.pixels.back(), 0xFF0000FFu);  // the pixel after the target is kept
    return to.pixels.pop_back(), ok;
  };
  const std::array<int, 4> cases[] = {{64, 48, 17, 9},    {5, 7, 230, 461}, {1, 1, 2, 2},
                                      {300, 2, 3, 2},     {40, 41, 5, 5},   {641, 479, 17, 9},
                                      {2000, 1500, 9, 6}, {514, 514, 1, 1}};
  for (const auto& [fw, fh, tw, th] : cases) {
    Pixels from(fw, fh, 0xFFFF80C0u, 0), to(tw * th + 1, 1, 0xFF0000FFu, 0);
    ASSERT_TRUE(ResampleInto(from, to, tw, th));
    EXPECT_EQ(to.pixels, std::vector<std::uint32_t>(to.pixels.size(), 0xFF80C0)) << fw;
  }
  Pixels pair(2, 1, 0xFFFFFF, 0xFF000001), stripes(8, 8, 0, 0x101010), one(2, 1, ~0xFFFF00u, 0);
  Pixels four(5, 1, ~0xFFFF00u, 0);
  for (auto& p : stripes.pixels) p &= 0x101010;  // box-shrunk by 2
  ASSERT_TRUE(ResampleInto(pair, one, 1, 1) && ResampleInto(stripes, four, 2, 2));
  EXPECT_EQ(one.pixels, std::vector<std::uint32_t>(1, 0xBCBCBC));
  EXPECT_EQ(four.pixels, std::vector<std::uint32_t>(4, 0x090909));
  for (const int f : {2, 3, 5}) {  // box-shrunk by the most leaving twice the target
    Pixels small(8, 8, 0x123456, 0x0B0C0D), large(8 * f, 8 * f), direct(17, 1, 0xFF0000FF, 0),
        shrunk(17, 1, 0xFF0000FF, 0);
    for (auto& p : small.pixels) p &= 0xFFFFFF;
    for (int i = 0; i < 64 * f * f; ++i)
      large.pixels[std::size_t(i)] = small.view.At(i % (8 * f) / f, i / 8 / f / f);
    ASSERT_TRUE(ResampleInto(small, direct, 4, 4) && ResampleInto(large, shrunk, 4, 4));
    EXPECT_EQ(shrunk.pixels, direct.pixels) << f;
  }
  // Only twice as wide, though 40 times as high: no box may blur across.
  Pixels halves(16, 80), eight(17, 1, 0xFF0000FF, 0);
  for (std::size_t i = 0; i < halves.pixels.size(); ++i) halves.pixels[i] = i % 16 < 8 ? 0 : ~0u;
  ASSERT_TRUE(ResampleInto(halves, eight, 8, 2));
  EXPECT_EQ(std::tuple(eight.pixels[0], eight.pixels[7]), std::tuple(0u, 0xFFFFFFu));
  Pixels from(4, 4), to(4, 1, 0xFF0000FF, 0);
  std::uint32_t *const f = from.pixels.data(), *const t = to.pixels.data();
  // clang-format off
  for (const auto& [a, b] : {std::pair(SurfaceView{nullptr, 4, 4}, SurfaceView{t, 2, 2}),
           {{f, 0, 4}, {t, 2, 2}}, {{f, 4, 0}, {t, 2, 2}}, {{f, 4, 4}, {t, 0, 2}},
           {{f, 4, 4}, {t, 2, 0}}, {{f, 4, 4}, {t, -1, 2}}, {{f, 4, 4}, {nullptr, 2, 2}}})
    EXPECT_FALSE(Resample(a, b));
  // clang-format on
  EXPECT_EQ(to.pixels, std::vector<std::uint32_t>(4, 0xFF0000FF));
}

// The smallest of 1/8, 1/4, 1/2 (rounded up) that covers the target and that
// the codec makes; else the stored size.
TEST(Resample, DecodeTimeSize) {
  const auto all = [](PixelSize) { return true; };
  const auto half = [](PixelSize s) { return s == PixelSize{3000, 2000}; };
  const std::tuple<PixelSize, PixelSize, std::function<bool(PixelSize)>, PixelSize> cases[] = {
      {{6000, 4000}, {1000, 667}, all, {1500, 1000}},
      {{6000, 4000}, {750, 500}, all, {750, 500}},
      {{6000, 4000}, {750, 501}, all, {1500, 1000}},
      {{6000, 4000}, {1000, 667}, half, {3000, 2000}},
      {{6000, 4000}, {10, 10}, [](PixelSize) { return false; }, {6000, 4000}},
      {{4001, 3001}, {501, 376}, all, {501, 376}},
      {{4001, 3001}, {2002, 1}, all, {4001, 3001}}};
  for (const auto& [stored, target, native, wanted] : cases) {
    EXPECT_EQ(DecodeTimeSize(stored, target, native), wanted) << target.width;
  }
}

// Bands of rows, a multiple of the box factor but the last, give exactly the
// whole picture's result; a band of the target's size is the target's.
TEST(Resample, BandsMakeTheWholePicture) {
  using Case = std::tuple<int, int, int, int, std::size_t, std::vector<int>>;
  const Case cases[] = {{50, 47, 5, 5, 1800, {8, 8, 8, 8, 8, 7}},              // box factor 4
                        {40, 41, 5, 5, 1, {4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 1}},  // one box
                        {20, 20, 4, 4, 400, {4, 4, 4, 4, 4}},  // factor 2, 5 rows' bytes
                        {61, 40, 10, 6, 1 << 20, {40}},
                        {30, 20, 17, 9, 360, {3, 3, 3, 3, 3, 3, 2}},  // gathered whole
                        {13, 11, 13, 11, 208, {4, 4, 3}}};            // straight in
  for (const auto& [fw, fh, tw, th, bytes, expected] : cases) {
    Pixels from(fw, fh, 0x12345678, 0x01030507), whole(tw, th), banded(tw * th + 1, 1, 7, 0);
    ASSERT_TRUE(Resample(from.view, whole.view));
    BandResampler resampler({fw, fh}, {banded.pixels.data(), tw, th}, bytes);
    std::vector<int> heights;
    int top = 0;
    for (SurfaceView band; (band = resampler.Band()).pixels; top += band.height) {
      EXPECT_EQ(std::tuple(band.width, resampler.BandTop()), std::tuple(fw, top));
      std::copy_n(&from.view.At(0, top), fw * band.height, band.pixels);
      heights.push_back(band.height);
      ASSERT_TRUE(resampler.Take());
    }
    EXPECT_FALSE(resampler.Take());
    EXPECT_EQ(std::tuple(heights, banded.pixels.back()), std::tuple(expected, 7u)) << fw;
    banded.pixels.pop_back();
    EXPECT_EQ(banded.pixels, whole.pixels) << fw;
    for (auto& p : from.pixels) p &= 0xFFFFFF;
    EXPECT_TRUE(fw != tw || whole.pixels == from.pixels) << fw;
  }
}

constexpr TwipsScale k96Dpi{15.0f, 15.0f};

// 0.6 of a window 768 pixels high; strides of 125 twips (exact): landing flush
// goes on, crossing is laid flush and turned. Real steps: 0.0015, or 0.01.
TEST(Slide, SizeAndDrift) {
  // clang-format off
  const std::array<int, 5> sizes[] = {  // natural size, twips per pixel down: shown size
      {300, 600, 15, 230, 461}, {800, 600, 15, 461, 346}, {300, 600, 10, 230, 461},
      {600, 600, 15, 461, 461}, {10000, 1, 15, 461, 1}, {0, 600, 15, 0, 0}, {600, 0, 15, 0, 0}};
  // size, position, moving back: next position, moving back
  const std::tuple<float, float, bool, float, bool> drifts[] = {
      {600, 100, false, 225, false}, {600, 275, false, 400, false}, {600, 276, false, 400, true},
      {600, 300, true, 175, true}, {600, 125, true, 0, true}, {600, 124, true, 0, false},
      {600, 400, true, 275, true}, {600, 500, true, 400, true}, {1200, 0, false, -100, false},
      {1200, 7, true, -100, true}, {1000, 0, false, 0, true}};
  // clang-format on
  for (const auto& [w, h, y, width, height] : sizes) {
    EXPECT_EQ(SlidePixelSize({w, h}, 768, {15, float(y)}), (PixelSize{width, height})) << w;
  }
  const TwipsSize size = TargetSize({4500, 9000}, {4530, 9030}, 11520);
  EXPECT_EQ(std::tuple(size.width, size.height), std::tuple(3479.04f, 6912.0f));
  for (auto [size, position, back, next, nextBack] : drifts) {
    const float at = NextDriftPosition(1000, size, position, 0.125f, back);
    EXPECT_EQ(std::tuple(at, back), std::tuple(next, nextBack)) << position;
  }
  bool back = false;
  EXPECT_NEAR(NextDriftPosition(11520, 6912, 2310, DriftStep(0), back), 2327.28f, 1e-3);
  EXPECT_NEAR(NextDriftPosition(11520, 6912, 2310, DriftStep(1), back), 2425.2f, 1e-3);
  // 1024 x 768 at 96 DPI: strides of 1.536 pixels across, 1.152 down. The first
  // place is centred: (768 - 461) / 2 = 153.5 rounds to the even 154.
  const std::tuple<PixelRect, bool, bool, PixelRect, bool, bool> cases[] = {
      {{397, 154, 627, 615}, false, false, {399, 155, 629, 616}, false, false},
      {{397, 154, 627, 615}, true, true, {395, 153, 625, 614}, true, true},
      {{397, 306, 627, 767}, false, false, {399, 307, 629, 768}, true, false},
      {{793, 100, 1023, 561}, false, false, {794, 101, 1024, 562}, false, true},
      {{10, 1, 240, 462}, true, false, {12, 0, 242, 461}, false, false},
      {{1, 10, 231, 471}, false, true, {0, 11, 230, 472}, false, false},
      {{-128, 154, 1024, 615}, false, false, {-64, 155, 1088, 616}, false, false}};
  for (auto [from, up, left, to, nextUp, nextLeft] : cases) {
    const PixelRect placed = DriftPlacement(from, {1024, 768}, k96Dpi, DriftStep(0), up, left);
    EXPECT_EQ(std::tuple(placed, up, left), std::tuple(to, nextUp, nextLeft)) << from.left;
  }
  EXPECT_EQ(CentredPlacement({230, 461}, {1024, 768}, k96Dpi), (PixelRect{397, 154, 627, 615}));
  EXPECT_EQ(CentredPlacement({648, 432}, {1920, 1080}, {15, 10}), (PixelRect{636, 324, 1284, 756}));
}

// A move by one pixel ends the show: at once when the cursor moves again
// 0.25 s or more later, unless the monitors changed less than two seconds
// before; a lone move once it has stood two seconds ('t', a tick). x = 0
// means none recorded yet. A cursor the monitors moved is recorded afresh,
// its message before or after word of the change ('w'): the primary swapped,
// the monitor right of it or below it off, or none listed.
TEST(CursorWatch, MovesEndTheShowChangesOfMonitorsDoNot) {
  const PixelRect a{0, 0, 1280, 1024};
  const std::vector<PixelRect> two{a, {1280, 0, 2304, 768}}, one{a}, no,
      sw{{-1280, 0, 0, 1024}, {0, 0, 1024, 768}};  // the primary swapped
  // clang-format off
  const std::tuple<char, double, ScreenPoint, std::vector<PixelRect>, int> steps[] = {
      {'m', 0, {0, 300}, two, 0}, {'m', 0, {0, 310}, two, 0}, {'m', 0, {500, 0}, two, 0},
      {'m', 0, {500, 0}, two, 0}, {'m', 0, {-780, 0}, sw, 0}, {'w', 0, {-780, 0}, sw, 0},
      {'m', 10, {-780, 1}, sw, 0}, {'t', 11.9, {}, sw, 0}, {'t', 12, {-780, 1}, sw, 1},
      {'w', 15, {1280, 400}, two, 0}, {'m', 20, {1279, 400}, two, 0}, {'t', 22, {1279, 400}, one, 0},
      {'m', 22, {1278, 400}, one, 0}, {'m', 22.1, {1278, 401}, one, 0}, {'m', 22.5, {1277, 9}, one, 0},
      {'t', 24.4, {}, one, 0}, {'t', 24.5, {1277, 9}, one, 1},
      {'w', 30, {1280, 400}, one, 0}, {'m', 40, {1279, 400}, one, 0}, {'t', 42, {1279, 400}, one, 0},
      {'w', 50, {600, 1024}, one, 0}, {'m', 60, {600, 1023}, one, 0}, {'t', 62, {600, 1023}, one, 0},
      {'w', 70, {600, 400}, one, 0}, {'m', 71, {601, 400}, one, 0}, {'m', 71.5, {602, 400}, one, 0},
      {'m', 72, {603, 400}, one, 1}, {'w', 80, {600, 400}, one, 0}, {'m', 83, {601, 400}, one, 0},
      {'m', 83.1, {602, 400}, one, 0}, {'m', 83.2, {602, 400}, one, 0}, {'m', 83.25, {603, 400}, one, 1},
      {'w', 90, {9, 9}, no, 0}, {'m', 100, {9, 10}, no, 0}, {'m', 100.3, {10, 10}, no, 1}};
  // clang-format on
  CursorWatch watch;
  int reads = 0, step = 0;
  for (const auto& [kind, time, cursor, monitors, ends] : steps) {
    const CursorSight sight{cursor, monitors};
    const auto look = [&] { return ++reads, sight; };
    if (kind == 'w') watch.MonitorsChanged(sight, time);
    const bool ended =
        kind == 'm' ? watch.HasMoved(look, time) : kind == 't' && watch.Settled(look, time);
    EXPECT_EQ(ended, ends == 1) << step++;
  }
  EXPECT_EQ(reads, 27);  // once more per move at x = 0; a tick only for a lone move
}

// One window per monitor, the primary first, none for an empty or mirrored
// one; a change keeps the windows whose place and scale are still wanted.
// Each slide's size comes from its own monitor's height.
TEST(Monitors, LayoutAndSlideSizes) {
  const TwipsScale k144{10, 10};
  const MonitorArea a{{0, 0, 1280, 1024}, k96Dpi, true}, b{{1280, 0, 2304, 768}, k96Dpi},
      c{{-1920, 0, 0, 1080}, k144}, b144{b.rect, k144}, none{{5, 5, 5, 900}, k96Dpi};
  std::vector<PixelRect> rects;
  for (const MonitorArea& m : ShowWindowLayout({b, none, c, a, b})) rects.push_back(m.rect);
  EXPECT_EQ(rects, (std::vector{a.rect, b.rect, c.rect}));
  EXPECT_EQ(ReusedWindows({a, b, c}, {a, c}), (std::vector{0, 2}));
  EXPECT_EQ(ReusedWindows({a, b}, {a, b144, c}), (std::vector{0, -1, -1}));
  for (auto [height, scale, shown] : {std::tuple(1024, k96Dpi, PixelSize{307, 614}),
                                      {768, k96Dpi, {230, 461}},
                                      {2160, k144, {648, 1296}}}) {
    EXPECT_EQ(SlidePixelSize({300, 600}, height, scale), shown) << height;
  }
}

}  // namespace ruzir::test

// The show's plain parts: the picture list and draw, picture headers, the
// resampler, the slide's size, drift and timing, and the cursor test.
#include "show/cursor_watch.h"
#include "show/image_list.h"
#include "show/picture_header.h"
#include "show/resample.h"
#include "show/slide.h"
#include "test_support.h"

namespace ruzir::test {
namespace {

using namespace std::literals;

// What each pattern finds, wildcard quirks included, listed by hand.
struct FakeSearch final : DirectorySearch {
  void Find(std::wstring_view folder, std::wstring_view pattern,
            const std::function<bool(const DirectoryEntry&)>& found) override {
    searched += std::wstring(folder) + std::wstring(pattern) + L" ";
    for (const auto& entry : results[std::wstring(pattern)]) {
      if (++delivered, !found(entry)) return;
    }
  }
  std::map<std::wstring, std::vector<DirectoryEntry>> results;
  std::wstring searched;
  std::size_t delivered = 0;
};

// "*.jpg" also finds "p.jpeg" and "x.jpgx" through their short names; the
// list keeps ordinary files under their own pattern, at most 32,767.
TEST(ImageList, OrdinaryFilesUnderTheirOwnExtensionEachOnce) {
  const std::tuple<const wchar_t*, const wchar_t*, bool> names[] = {
      {L"A.JPG", L"*.jpg", true},      {L"b.Jpeg", L"*.jpeg", true},
      {L".jpg", L"*.jpg", true},       {L"x.AZ", L"*.az", true},
      {L"p.jpeg", L"*.jpg", false},    {L"x.jpgx", L"*.jpg", false},
      {L"a.jpg.png", L"*.jpg", false}, {L"jpg", L"*.jpg", false},
      {L"a.jpe", L"*.jpeg", false},    {L"a", L"*", false}};
  for (const auto& [name, pattern, matches] : names)
    EXPECT_EQ(MatchesPattern(name, pattern), matches) << name;
  FakeSearch search;
  search.results[L"*.jpg"] = {{L"z.jpg", 0x20}, {L"p.jpeg", 0},  {L"A.JPG", 0x1}, {L"d.jpg", 0x10},
                              {L"h.jpg", 0x2},  {L"s.jpg", 0x4}, {L"x.jpgx", 0}};
  search.results[L"*.jpeg"] = {{L"p.jpeg", 0x20}, {L"b.Jpeg", 0}};
  search.results[L"*.bmp"] = {{L"c.bmp", 0}};
  const ImageList list = BuildImageList(L"C:\\P\\", search);
  std::wstring files;
  for (std::int16_t i = 1; i <= list.Count(); ++i) files += list.File(i) + L" ";
  EXPECT_EQ(files, L"C:\\P\\z.jpg C:\\P\\A.JPG C:\\P\\p.jpeg C:\\P\\b.Jpeg C:\\P\\c.bmp ");
  EXPECT_EQ(search.searched, L"C:\\P\\*.jpg C:\\P\\*.jpeg C:\\P\\*.bmp ");
  FakeSearch full;
  for (int i = 0; i < 32768; ++i)
    full.results[L"*.jpeg"].push_back({std::to_wstring(i) + L".jpeg", 0});
  full.results[L"*.jpg"] = {{L"1.jpg", 0}};
  const ImageList capped = BuildImageList(L"D:\\", full);
  ASSERT_EQ(capped.Count(), 32767);
  EXPECT_EQ(capped.File(32767), L"D:\\32765.jpeg");
  EXPECT_EQ(std::tuple(full.delivered, full.searched),
            std::tuple(std::size_t{32767}, L"D:\\*.jpg D:\\*.jpeg "s));
}

// Every index has the same share of [0, 1), even from a source breaking its
// promise of r < 1. A pick tries each file once at most, a resting one
// replaced by the k-th open one, k drawn; a file that failed rests for as
// many picks as there are files, unless all rest. A draw of 0 is index 1,
// or else the first open file.
TEST(ImageList, PicksCoverTheListAndFailedFilesRest) {
  const std::tuple<std::int16_t, float, std::int16_t> indexes[] = {
      {1, 0.99999994f, 1}, {3, 0.3333333f, 1},          {3, 0.33333334f, 2},
      {3, 0.99999994f, 3}, {32767, 0.99999994f, 32767}, {10, 1.0f, 10}};
  for (const auto& [count, r, index] : indexes) {
    FixedUniform random({r});
    EXPECT_EQ(PickImageIndex(count, random), index) << count << " " << r;
  }
  using Set = std::set<std::int16_t>;
  using List = std::vector<std::int16_t>;
  const std::pair<std::int16_t, std::vector<std::tuple<Set, std::vector<float>, List, int>>>
      cases[] = {
          {4, {{{}, {0.5f}, {3}, 3}, {{3}, {0.5f, 0.0f}, {3, 1}, 1}}},
          {4, {{{3, 1}, {0.5f, 0.0f, 0.5f, 0.6f}, {3, 1, 4}, 4}}},
          {5, {{{1, 2, 3, 4}, {0}, {1, 2, 3, 4, 5}, 5}}},
          {2, {{{1, 2}, {0}, {1, 2}, 0}, {{1, 2}, {0}, {1, 2}, 0}, {{}, {0}, {1}, 1}}},
          {3, {{{1}, {0}, {1, 2}, 2}, {{}, {0}, {2}, 2}, {{}, {0}, {2}, 2}, {{}, {0}, {1}, 1}}}};
  for (const auto& [count, picks] : cases) {
    ImagePicker picker(count);
    for (const auto& [broken, draws, expected, shown] : picks) {
      FixedUniform random(draws);
      List tried;
      const auto loaded = picker.PickAndLoad(
          random, [&](std::int16_t i) { return tried.push_back(i), !broken.count(i); });
      EXPECT_EQ(std::tuple(loaded.value_or(0), tried), std::tuple(std::int16_t(shown), expected))
          << count;
    }
  }
}

using File = std::vector<std::uint8_t>;
File operator+(File a, const File& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
File Jpeg(const File& segments) { return File{0xFF, 0xD8} + segments; }
File Frame(std::uint8_t code, int w, int h) {  // one component, under any code
  return {0xFF,
          code,
          0,
          11,
          8,
          std::uint8_t(h >> 8),
          std::uint8_t(h),
          std::uint8_t(w >> 8),
          std::uint8_t(w),
          1,
          1,
          0x11,
          0};
}
File App1(std::size_t length) {  // filled with frame headers a walk must step over
  File segment{0xFF, 0xE1, std::uint8_t(length >> 8), std::uint8_t(length)};
  while (segment.size() < 2 + length) segment = segment + Frame(0xC0, 1, 1);
  return File(segment.begin(), segment.begin() + 2 + length);
}
File Cut(File file, std::size_t size) { return File(file.begin(), file.begin() + size); }
// "BM", a 40-byte info header of a 4 x 3 picture and 4 bytes of pixels, with
// a little-endian 32-bit value put at an offset (6 is reserved).
File Bmp(std::size_t at = 6, std::int64_t value = 0) {
  File file(58, 0);
  file[0] = 'B', file[1] = 'M', file[10] = 54, file[14] = 40, file[18] = 4, file[22] = 3;
  for (int i = 0; i < 4; ++i) file[at + i] = std::uint8_t(value >> (8 * i));
  return file;
}

// The claimed size, 0 x 0 when refused: more than 2^30 bytes, a damaged or
// contradicting header, any other format. JPEG frame headers are C0 to CF
// but DHT (C4), JPG (C8) and DAC (CC); TEM, RST0, fill, RST7 and stray bytes
// are passed over. BMP fields: 10 pixel offset, 14 header size, 18 width,
// 22 height, 46 palette colours (4 bytes each), 50 important colours.
TEST(PictureHeader, ClaimedSizeOrRefusal) {
  const auto claimed = [](const File& file) {
    return ClaimedPictureSize(file).value_or(PixelSize{});
  };
  const std::array<int, 5> frames[] = {
      {0xC0, 640, 480, 640, 480}, {0xC1, 16384, 16384, 16384, 16384},
      {0xC2, 16384, 16385, 0, 0}, {0xC3, 640, 0, 0, 0},
      {0xC4, 3, 2, 0, 0},         {0xC7, 0, 480, 0, 0},
      {0xC8, 3, 2, 0, 0},         {0xCB, 3, 2, 3, 2},
      {0xCC, 3, 2, 0, 0},         {0xCF, 3, 2, 3, 2}};
  for (const auto& [code, w, h, width, height] : frames) {
    EXPECT_EQ(claimed(Jpeg(Frame(code, w, h))), (PixelSize{width, height})) << code;
  }
  const File markers{0xFF, 0x01, 0xFF, 0xD0, 0xFF, 0xFF, 0xD7, 0x12, 0xFF, 0x00};
  EXPECT_EQ(claimed(Jpeg(App1(65535) + App1(65535) + markers + Frame(0xC2, 3, 2))),
            (PixelSize{3, 2}));
  EXPECT_EQ(claimed(Jpeg(Frame(0xC4, 1, 1) + Frame(0xC8, 1, 1) + Frame(0xCF, 5, 6))),
            (PixelSize{5, 6}));
  // A scan or a second start of picture before any frame, a length shorter
  // than itself, a frame header too short, files cut short, a PNG.
  for (const File& file : {Jpeg(File{0xFF, 0xDA, 0, 2} + Frame(0xC0, 8, 8)),
                           Jpeg(File{0xFF, 0xD8} + Frame(0xC0, 8, 8)),
                           Jpeg(File{0xFF, 0xE0, 0, 1} + Frame(0xC0, 8, 8)),
                           Jpeg(File{0xFF, 0xC0, 0, 7, 8, 0, 2, 0, 3}),
                           Cut(Jpeg(Frame(0xC0, 640, 480)), 10), Cut(Jpeg(App1(4000)), 100),
                           Cut(Bmp(), 40), File{}, File{0x89, 'P', 'N', 'G', 13, 10, 26, 10}}) {
    EXPECT_EQ(claimed(file), PixelSize{}) << file.size();
  }
  const std::array<std::int64_t, 4> bmps[] = {
      {6, 0, 4, 3},   {22, -3, 4, 3}, {18, -4, 0, 0},         {18, 0x7FFFFFFF, 0, 0},
      {46, 1, 4, 3},  {46, 2, 0, 0},  {46, 0x7FFFFFFF, 0, 0}, {50, 16, 4, 3},
      {10, 58, 0, 0}, {14, 16, 0, 0}};
  for (const auto& [at, value, width, height] : bmps) {
    EXPECT_EQ(claimed(Bmp(at, value)), (PixelSize{int(width), int(height)})) << at << ": " << value;
  }
  File core = Bmp(14, 12);  // the core header's 16-bit sizes
  core[18] = 5, core[20] = 7;
  EXPECT_EQ(claimed(core), (PixelSize{5, 7}));
  // Long segments are stepped over, not read: one read per window of 64 KiB.
  const File file = Jpeg(App1(65535) + App1(65535) + Frame(0xC0, 3, 2));
  int reads = 0;
  const auto size =
      ClaimedPictureSize(file.size(), [&](std::uint64_t at, std::span<std::uint8_t> out) {
        const auto count = std::min<std::size_t>(out.size(), file.size() - at);
        return std::copy_n(file.begin() + std::ptrdiff_t(at), count, out.begin()), ++reads, count;
      });
  EXPECT_EQ(std::tuple(size, reads), std::tuple(std::optional(PixelSize{3, 2}), 3));
}

// Resamples into the first pixels of `to` (filled with 0xFF0000FF), whose
// last pixel must not change, and drops that pixel.
bool ResampleInto(const Pixels& from, Pixels& to, int width, int height) {
  const bool ok = Resample(from.view, {to.pixels.data(), width, height});
  EXPECT_EQ(to.pixels.back(), 0xFF0000FFu);
  to.pixels.pop_back();
  return ok;
}

// A solid colour stays exact, its fourth byte cleared, through the filter
// and the box pre-shrink (the last four: by 4, 18, 111 and 257, a block
// whose sum passes 32 bits). Black and white average to half the light, 188
// (bytes would give 128): by the filter (two pixels to one), and by the
// pre-shrink (a checkerboard in 4 x 4 blocks).
TEST(Resample, ColoursStayExactAndAverageInLinearLight) {
  const std::array<int, 4> cases[] = {{64, 48, 17, 9},    {5, 7, 230, 461}, {1, 1, 2, 2},
                                      {300, 2, 3, 2},     {40, 41, 5, 5},   {641, 479, 17, 9},
                                      {2000, 1500, 9, 6}, {514, 514, 1, 1}};
  for (const auto& [fw, fh, tw, th] : cases) {
    Pixels from(fw, fh, 0xFFFF80C0u, 0), to(tw * th + 1, 1, 0xFF0000FFu, 0);
    ASSERT_TRUE(ResampleInto(from, to, tw, th));
    EXPECT_EQ(to.pixels, std::vector<std::uint32_t>(to.pixels.size(), 0x00FF80C0u))
        << fw << " to " << tw;
  }
  Pixels pair(2, 1, 0xFFFFFF, 0xFF000001), board(256, 256), one(2, 1, 0xFF0000FFu, 0),
      row(33, 1, 0xFF0000FFu, 0);
  for (std::size_t i = 0; i < board.pixels.size(); ++i)
    board.pixels[i] = (i + i / 256) % 2 ? 0xFFFFFF : 0;
  ASSERT_TRUE(ResampleInto(pair, one, 1, 1) && ResampleInto(board, row, 32, 1));
  EXPECT_EQ(one.pixels, std::vector<std::uint32_t>(1, 0xBCBCBCu));
  EXPECT_EQ(row.pixels, std::vector<std::uint32_t>(32, 0xBCBCBCu));
}

// The pre-shrink takes the largest factor leaving twice the target: 8 x
// factor to 4 pixels. Uniform blocks of that factor shrink to exactly one
// pixel per block, so the result is that of the small picture. Empty
// surfaces are refused, the target left alone.
TEST(Resample, PreShrinkFactorAndRefusals) {
  for (const int factor : {2, 3, 5}) {
    Pixels small(8, 8, 0x123456, 0x0B0C0D), large(8 * factor, 8 * factor),
        direct(17, 1, 0xFF0000FFu, 0), shrunk(17, 1, 0xFF0000FFu, 0);
    for (auto& p : small.pixels) p &= 0xFFFFFF;
    for (std::size_t i = 0; i < large.pixels.size(); ++i) {
      large.pixels[i] =
          small.view.At(int(i % (8 * factor)) / factor, int(i / (8 * factor)) / factor);
    }
    ASSERT_TRUE(ResampleInto(small, direct, 4, 4) && ResampleInto(large, shrunk, 4, 4));
    EXPECT_EQ(shrunk.pixels, direct.pixels) << factor;
  }
  Pixels from(4, 4, 0x123456u), to(4, 1, 0xFF0000FFu, 0);
  std::uint32_t* const p = to.pixels.data();
  for (const SurfaceView& f :
       {SurfaceView{nullptr, 4, 4}, {from.pixels.data(), 0, 4}, {from.pixels.data(), 4, 0}}) {
    EXPECT_FALSE(Resample(f, {p, 2, 2}));
  }
  for (const SurfaceView& t : {SurfaceView{p, 0, 2}, {p, 2, 0}, {p, -1, 2}, {nullptr, 2, 2}}) {
    EXPECT_FALSE(Resample(from.view, t));
  }
  EXPECT_EQ(to.pixels, std::vector<std::uint32_t>(4, 0xFF0000FFu));
}

constexpr TwipsScale k96Dpi{15.0f, 15.0f};

// The longer side is 0.6 of the window's height (11,520 twips: 6,912), a
// square counting as upright; a probe's border widens the other side. In
// pixels (768 high, vertical twips per pixel given), a hair-thin panorama
// vanishes.
TEST(Slide, SizeIsSixTenthsOfTheWindowHeight) {
  const std::array<float, 6> cases[] = {{4500, 9000, 4500, 9000, 3456, 6912},
                                        {12000, 9000, 12000, 9000, 6912, 5184},
                                        {4500, 9000, 4530, 9030, 3479.04f, 6912},
                                        {12000, 9000, 12030, 9030, 6912, 5201.28f},
                                        {7500, 7500, 7530, 7530, 6939.648f, 6912}};
  for (const auto& [iw, ih, ow, oh, width, height] : cases) {
    const TwipsSize size = TargetSize({iw, ih}, {ow, oh}, 11520);
    EXPECT_FLOAT_EQ(size.width, width) << iw;
    EXPECT_FLOAT_EQ(size.height, height) << iw;
  }
  const std::array<int, 5> sizes[] = {{300, 600, 15, 230, 461}, {800, 600, 15, 461, 346},
                                      {300, 600, 10, 230, 461}, {10000, 1, 15, 461, 0},
                                      {0, 600, 15, 0, 0},       {600, 0, 15, 0, 0}};
  for (const auto& [w, h, y, width, height] : sizes) {
    EXPECT_EQ(SlidePixelSize({w, h}, 768, {15, float(y)}), (PixelSize{width, height}))
        << w << " x " << h;
  }
}

// A stride of 1000 x 0.125 = 125 twips, exact in binary: a picture landing
// flush goes on, one that would cross an edge is laid flush and turned, a
// new larger one is pulled flush, one larger than the window stays centred.
// Real steps are 0.0015, or 0.01 with after-images.
TEST(Slide, DriftTurnsFlushAtTheEdges) {
  const std::tuple<float, float, bool, float, bool> cases[] = {
      // size, position, back: next, back
      {600, 100, false, 225, false}, {600, 275, false, 400, false}, {600, 276, false, 400, true},
      {600, 300, true, 175, true},   {600, 125, true, 0, true},     {600, 124, true, 0, false},
      {600, 400, true, 275, true},   {600, 500, true, 400, true},   {1200, 0, false, -100, false},
      {1200, 7, true, -100, true},   {1000, 0, false, 0, true}};
  for (auto [size, position, back, next, nextBack] : cases) {
    EXPECT_EQ(NextDriftPosition(1000, size, position, 0.125f, back), next) << position;
    EXPECT_EQ(back, nextBack) << position;
  }
  bool back = false;
  EXPECT_NEAR(NextDriftPosition(11520, 6912, 2310, DriftStep(0), back), 2327.28f, 1e-3);
  EXPECT_NEAR(NextDriftPosition(11520, 6912, 2310, DriftStep(1), back), 2425.2f, 1e-3);
}

// In 1024 x 768 at 96 DPI strides are 1.536 pixels across and 1.152 down; a
// picture wider than the window stays centred across. The first place is
// centred: (768 - 461) / 2 = 153.5 rounds to the even 154.
TEST(Slide, PlacementsLandOnWholePixels) {
  const std::tuple<PixelRect, bool, bool, PixelRect, bool, bool> cases[] = {
      {{397, 154, 627, 615}, false, false, {399, 155, 629, 616}, false, false},
      {{397, 154, 627, 615}, true, true, {395, 153, 625, 614}, true, true},
      {{397, 306, 627, 767}, false, false, {399, 307, 629, 768}, true, false},
      {{793, 100, 1023, 561}, false, false, {794, 101, 1024, 562}, false, true},
      {{10, 1, 240, 462}, true, false, {12, 0, 242, 461}, false, false},
      {{1, 10, 231, 471}, false, true, {0, 11, 230, 472}, false, false},
      {{-128, 154, 1024, 615}, false, false, {-64, 155, 1088, 616}, false, false}};
  for (auto [from, up, left, to, nextUp, nextLeft] : cases) {
    EXPECT_EQ(DriftPlacement(from, {1024, 768}, k96Dpi, DriftStep(0), up, left), to) << from.left;
    EXPECT_EQ(std::tuple(up, left), std::tuple(nextUp, nextLeft)) << from.left;
  }
  EXPECT_EQ(CentredPlacement({230, 461}, {1024, 768}, k96Dpi), (PixelRect{397, 154, 627, 615}));
  EXPECT_EQ(CentredPlacement({648, 432}, {1920, 1080}, {15, 10}), (PixelRect{636, 324, 1284, 756}));
}

// The first tick starts the clock, drifting down and right; the picture
// changes once more than the interval (never range-checked) has passed.
// The cursor's first reading is recorded (anew while it rests in column 0);
// the show ends once it stands anywhere else.
TEST(Slide, TicksAndCursor) {
  SlideTimerState state{false, 0, true, true};
  EXPECT_EQ(BeginTick(state, 1000.0, 20), TickKind::First);
  EXPECT_EQ(std::tuple(state.TimerStarted, state.MovingUp, state.MovingLeft),
            std::tuple(true, false, false));
  const std::tuple<double, std::int16_t, TickKind> cases[] = {{1000.05, 20, TickKind::Drift},
                                                              {1020.0, 20, TickKind::Drift},
                                                              {1020.001, 20, TickKind::Change},
                                                              {1001.05, 1, TickKind::Change},
                                                              {1000.05, -5, TickKind::Change}};
  for (auto [now, interval, kind] : cases) {
    SlideTimerState running = state;
    EXPECT_EQ(std::tuple(BeginTick(running, now, interval), running.SlideStart),
              std::tuple(kind, 1000.0))
        << now;
  }
  CursorWatch watch;
  const auto moved = [&](std::vector<ScreenPoint> reads) {
    const bool ends = watch.HasMoved([&] {
      const ScreenPoint p = reads.empty() ? ScreenPoint{-1, -1} : reads.front();
      return reads.erase(reads.begin(), reads.begin() + !reads.empty()), p;
    });
    return reads.empty() ? ends : !ends;  // read fewer times than expected: wrong
  };
  EXPECT_FALSE(moved({{0, 300}, {0, 300}}));
  EXPECT_FALSE(moved({{0, 310}, {0, 310}}));
  EXPECT_FALSE(moved({{500, 300}, {500, 300}}));
  EXPECT_FALSE(moved({{500, 300}}));
  EXPECT_TRUE(moved({{500, 299}}));
  EXPECT_TRUE(CursorWatch().HasMoved([x = 0]() mutable { return ScreenPoint{++x, 0}; }));
}

}  // namespace
}  // namespace ruzir::test

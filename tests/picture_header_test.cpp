// The size a picture file claims, format by format, and the files refused.
#include "show/picture_header.h"
#include "test_support.h"

namespace ruzir::test {

using File = std::vector<std::uint8_t>;
File operator+(File a, const File& b) { return a.insert(a.end(), b.begin(), b.end()), a; }
File Jpeg(const File& segments) { return File{0xFF, 0xD8} + segments; }
// `v` in `n` bytes, most significant first or last; characters; `f` cut or padded, or patched.
File Be(std::uint64_t v, int n) { return n ? Be(v >> 8, n - 1) + File{std::uint8_t(v)} : File{}; }
File Le(std::uint64_t v, int n) { return n ? File{std::uint8_t(v)} + Le(v >> 8, n - 1) : File{}; }
File S(std::string_view s) { return File(s.begin(), s.end()); }
File Cut(File f, std::size_t size) { return f.resize(size), f; }
File Put(File f, std::size_t at, const File& p) { return std::ranges::copy(p, f.begin() + at), f; }
// A one-component frame header under any code; a segment full of them.
File Frame(std::uint8_t code, int w, int h) {
  return File{0xFF, code, 0, 11, 8} + Be(h, 2) + Be(w, 2) + File{1, 1, 0x11, 0};
}
File App1(std::size_t length) {
  File segment{0xFF, 0xE1, std::uint8_t(length >> 8), std::uint8_t(length)};
  while (segment.size() < 2 + length) segment = std::move(segment) + Frame(0xC0, 1, 1);
  return File(segment.begin(), segment.begin() + 2 + length);
}
// A TIFF structure under `head`: an IFD at 8 of {tag, type, value} entries, naming itself next.
const File kII{'I', 'I', 42, 0}, kMM{'M', 'M', 0, 42};
File Ifd(const File& head, const std::vector<std::array<std::uint32_t, 3>>& entries) {
  const auto n = [&](std::uint32_t v, int k) { return head[0] == 'M' ? Be(v, k) : Le(v, k); };
  File f = head + n(8, 4) + n(std::uint32_t(entries.size()), 2);
  for (const auto& [tag, type, v] : entries)
    f = f + n(tag, 2) + n(type, 2) + n(1, 4) + (type == 3 ? n(v, 2) + File(2, 0) : n(v, 4));
  return f + n(8, 4);
}
// APP1 EXIF data, II (0) or MM (1), of SHORTs 256, 274 (6) and 296. `patch` is laid at `at`, the
// length set to `length` (the bytes after it stay).
File Exif(bool mm, std::size_t at = 0, const File& patch = {}, std::size_t length = 58) {
  const File tiff = Ifd(mm ? kMM : kII, {{256, 3, 3}, {274, 3, 6}, {296, 3, 3}});
  return Put(File{0xFF, 0xE1, 0, std::uint8_t(length)} + S("Exif") + File(2, 0) + tiff, at, patch);
}
// A 4 x 3 BMP, a little-endian value put at `at` (6 is reserved), cut to `size`.
File Bmp(std::size_t at = 6, std::int64_t value = 0, std::size_t size = 58) {
  const File file =
      S("BM") + File(8, 0) + Le(54, 4) + Le(40, 4) + Le(4, 4) + Le(3, 4) + File(32, 0);
  return Cut(Put(file, at, Le(value, 4)), size);
}

// 0 x 0: refused. A Huffman-coded JPEG's file holds a bit for each 8 x 8 block at least. BMP: 10
// pixel offset, 14 header size, 18 width, 22 height, 46 colours, 50 important ones.
TEST(PictureHeader, ClaimedSizeOrRefusal) {
  const auto claimed = [](const File& f) {
    return ReadPictureHeader(f).value_or(PictureHeader{}).size;
  };
  // clang-format off
  const std::array<int, 6> frames[] = {  // code, claim, file length (0: the frame alone), size
      {0xC1, 8193, 8193, 131329, 8193, 8193}, {0xC0, 8193, 8193, 131328, 0, 0},
      {0xC2, 16384, 16384, 5000, 0, 0}, {0xC9, 16384, 16384, 0, 16384, 16384},
      {0xCA, 16384, 16385, 0, 0, 0}, {0xC3, 640, 0, 0, 0, 0}, {0xC4, 3, 2, 0, 0, 0},
      {0xC7, 0, 480, 0, 0, 0}, {0xC7, 128, 128, 0, 0, 0}, {0xC8, 3, 2, 0, 0, 0},
      {0xCB, 128, 128, 0, 128, 128}, {0xCC, 3, 2, 0, 0, 0}, {0xCF, 128, 128, 0, 128, 128}};
  const std::array<std::int64_t, 4> bmps[] = {
      {6, 0, 4, 3}, {22, -3, 4, 3}, {18, -4, 0, 0}, {18, 0x7FFFFFFF, 0, 0}, {46, 1, 4, 3},
      {46, 2, 0, 0}, {46, 0x7FFFFFFF, 0, 0}, {50, 16, 4, 3}, {10, 58, 0, 0}, {14, 16, 0, 0}};
  // TEM, RST0, fill, RST7, stray bytes, an empty segment and an 8-byte frame pass; a scan or a
  // new start before a frame, a length below 2, a shorter frame, a cut do not.
  const File markers{0xFF, 0x01, 0xFF, 0xD0, 0xFF, 0xFF, 0xD7, 0x12, 0xFF, 0x00};
  const File frame = Frame(0xC0, 8, 8);
  const std::pair<File, int> files[] = {
      {Jpeg(Exif(0) + App1(65535) + App1(65535) + markers + Frame(0xC2, 3, 2)), 3},
      {Jpeg(File{0xFF, 0xDA, 0, 2} + frame), 0}, {Jpeg(File{0xFF, 0xD8, 0, 2} + frame), 0},
      {Jpeg(File{0xFF, 0xE0, 0, 1} + frame), 0}, {Jpeg(File{0xFF, 0xC0, 0, 7, 8, 0, 2, 0, 3}), 0},
      {Jpeg(App1(4000)), 0}, {Jpeg(File(frame.begin(), frame.begin() + 8)), 0}, {Bmp(6, 0, 40), 0},
      {File{0x89, 'P', 'N', 'G'}, 0},
      {Jpeg(File{0xFF, 0xE0, 0, 2, 0xFF, 0xC0, 0, 8, 8, 0, 2, 0, 3}), 3}};
  // clang-format on
  for (const auto& [code, w, h, size, width, height] : frames) {  // a bit at least each 8 x 8
    const File file = Jpeg(Frame(code, w, h));
    EXPECT_EQ(claimed(Cut(file, size ? size : file.size())), (PixelSize{width, height})) << code;
  }
  for (const auto& [at, value, width, height] : bmps)
    EXPECT_EQ(claimed(Bmp(at, value)), (PixelSize{int(width), int(height)})) << at << ": " << value;
  for (const auto& [file, width] : files) EXPECT_EQ(claimed(file).width, width) << file.size();
  int reads = 0;  // a read a window: EXIF read in the first, two 64 KiB segments stepped over
  const File& f = files[0].first;
  ReadPictureHeader(f.size(), [&](std::uint64_t at, std::span<std::uint8_t> out) {
    const std::size_t n = std::min<std::size_t>(out.size(), f.size() - at);
    return ++reads, std::copy_n(f.begin() + std::ptrdiff_t(at), n, out.begin()), n;
  });
  EXPECT_EQ(reads, 3);
  EXPECT_EQ(claimed(Put(Bmp(14, 12), 18, {5, 0, 7})), (PixelSize{5, 7}));  // the core header's
}

// Segments before a 3 x 2 frame: the first APP1 holding EXIF data names the
// orientation; cut, damaged or hostile data, in or after it, leaves it Upright.
TEST(PictureHeader, ExifOrientation) {
  // clang-format off
  std::vector<std::pair<File, int>> cases = {  // Exif\0\0 at 4, TIFF at 10, IFD0 at 18, 274 at 32
      {Exif(0, 0, {}, 54), 6}, {Exif(1, 0, {}, 54), 6}, {Exif(0, 0, {}, 53), 1},
      {Exif(1, 0, {}, 17), 1}, {Exif(0, 0, {}, 16), 1}, {Exif(1, 0, {}, 11), 1},
      {Exif(0, 0, {}, 7) + Exif(1, 41, {8}), 8}, {Exif(0, 11, {'X'}) + Exif(1, 41, {8}), 1},
      {Exif(0, 7, {'g'}), 1}, {Exif(1, 13, {43}), 1}, {Exif(0, 14, {4}), 1}, {Exif(1, 17, {50}), 1},
      {Exif(0, 14, {0xFF, 0xFF, 0xFF, 0xFF}), 1}, {Exif(0, 18, {4}), 1}, {Exif(1, 18, {0xFF}), 1},
      {Exif(0, 18, {1}), 1}, {Exif(0, 34, {4}), 6}, {Exif(1, 36, {1}), 1}, {Exif(0, 32, {0x13}), 1},
      {Exif(1, 35, {4, 0, 0, 0, 1, 0, 0, 0, 6}), 6}, {Exif(1, 35, {4}), 1}, {Exif(0, 34, {5}), 1},
      {Exif(0, 1, {0xE2}), 1}, {Frame(0xC0, 3, 2) + Exif(0), 1}, {Exif(0) + Exif(1, 41, {8}), 6},
      {App1(20) + Exif(1, 41, {8}), 8}, {Exif(0, 0, {}, 8) + Exif(1, 41, {8}), 1}};
  // clang-format on
  for (int i = 0; i < 20; ++i)  // each value in both orders; 0 and 9 name no orientation
    cases.push_back({Exif(i % 2, 40 + i % 2, {std::uint8_t(i / 2)}), i / 2 % 9 ? i / 2 : 1});
  for (int i = 0; const auto& [segments, turn] : cases) {
    const auto header = ReadPictureHeader(Jpeg(segments + Frame(0xC0, 3, 2))).value();
    EXPECT_EQ(std::pair(header.size, int(header.orientation)), std::pair(PixelSize{3, 2}, turn))
        << i++;
  }
}

File Png(std::uint32_t w, std::uint32_t h, std::string_view type = "IHDR", int length = 13) {
  return S("\x89PNG\r\n\x1A\n") + Be(length, 4) + S(type) + Be(w, 4) + Be(h, 4) + File(9, 0);
}
// A GIF89a: a `sw` x `sh` screen, 4 colours, `blocks`, then a `w` x `h` frame at `l`, `t`.
File Gif(int sw, int sh, int l, int t, int w, int h, const File& blocks = {}) {
  return S("GIF89a") + Le(sw, 2) + Le(sh, 2) + File{0x81} + File(14, 0) + blocks + File{0x2C} +
         Le(l, 2) + Le(t, 2) + Le(w, 2) + Le(h, 2) + File{0, 2, 1, 0, 0, 0x3B};
}
File WebP(std::string_view type, const File& d, std::size_t extra = 0) {
  return S("RIFF") + Le(12 + d.size() + extra, 4) + S("WEBP") + S(type) + Le(d.size(), 4) + d;
}
File Box(std::string_view type, const File& d, bool large = false) {
  return (large ? Be(1, 4) + S(type) + Be(16 + d.size(), 8) : Be(8 + d.size(), 4) + S(type)) + d;
}
File Ispe(std::uint32_t w, std::uint32_t h) { return Box("ispe", Be(0, 4) + Be(w, 4) + Be(h, 4)); }
// ftyp, then meta holding hdlr and iprp, whose ipco (at 56) holds `properties`.
File Heif(const File& properties, const File& brands = S("heic") + Be(0, 4)) {
  return Box("ftyp", brands) +
         Box("meta", Be(0, 4) + Box("hdlr", Be(0, 4)) + Box("iprp", Box("ipco", properties)));
}
// A JPEG XL codestream of {value, bits} fields, least significant bit first; the container.
File Jxl(const std::vector<std::pair<std::uint32_t, int>>& fields) {
  File f{0xFF, 0x0A};
  for (int bit = 0; const auto& [v, n] : fields)
    for (int i = 0; i < n; ++i, ++bit) f.resize(3 + bit / 8), f.back() |= (v >> i & 1) << bit % 8;
  return f;
}
File JxlBoxes(const File& b) { return Box("JXL ", {13, 10, 135, 10}) + Box("ftyp", S("jxl ")) + b; }

// Each format's claim in its own header, the format told by the content; damaged, cut or
// contradicting headers and claims beyond 2^28 pixels are refused (0 x 0).
TEST(PictureHeader, EachFormatByItsOwnHeader) {
  using F = PictureFormat;
  const File xr{'I', 'I', 0xBC, 1}, vp8{0, 0, 0, 0x9D, 1, 0x2A};
  const File gif = Gif(4, 3, 0, 0, 3, 2), ext{0x21, 0xF9, 4, 0, 0, 0, 0, 0, 0x21, 0xFE, 1, '!', 2};
  const File tiff = Ifd(kII, {{256, 3, 3}, {257, 3, 2}}), heif = Heif(Ispe(3, 2));
  const File jxl = Jxl({{0, 1}, {3, 2}, {299, 30}, {0, 3}, {0, 2}, {4, 9}, {1, 1}});  // 5 x 300
  // clang-format off
  struct Claim { File file; int width = 0, height = 0, turn = 1; };
  std::vector<std::pair<PictureFormat, std::vector<Claim>>> cases = {
      {F::Jpeg, {{Jpeg(Exif(1) + Frame(0xC0, 3, 2)), 3, 2, 6}}}, {F::Bmp, {{Bmp(), 4, 3}}},
      {F::Png, {{Png(3, 2), 3, 2}, {Png(16384, 16385)}, {Png(3, 2, "IHDX")},
                {Png(3, 2, "IHDR", 12)}, {Cut(Png(3, 2), 32)}, {Put(Png(3, 2), 7, {0})}}},
      {F::Gif, {{Gif(4, 3, 1, 1, 3, 2, ext + File{'h', 'i', 0}), 3, 2},
                {Put(gif, 3, S("87a")), 3, 2}, {Put(gif, 4, S("8"))}, {Put(gif, 10, {0x80})},
                {Gif(16384, 16384, 1, 0, 16384, 16384)}, {Gif(16384, 16384, 0, 1, 16384, 16384)},
                {Gif(65535, 65535, 0, 0, 1, 1)}, {Gif(4, 3, 0, 0, 3, 2, {0x3B})},
                {Gif(4, 3, 0, 0, 3, 2, {0x21, 0xFE, 200})}}},
      {F::Tiff, {{Ifd(kII, {{256, 3, 3}, {257, 4, 2}, {274, 3, 6}}), 3, 2, 6},
                 {Ifd(kMM, {{256, 4, 3}, {257, 5, 9}, {257, 3, 2}, {256, 3, 9}, {274, 4, 8}}),
                  3, 2, 8},
                 {Ifd(kII, {{256, 3, 3}})}, {Ifd(kMM, {{256, 4, 16384}, {257, 4, 16385}})},
                 {Cut(tiff, 34), 3, 2}, {Cut(tiff, 33)}, {Put(tiff, 14, {2})},
                 {Put(tiff, 4, {4})}, {Put(tiff, 2, {43})}}},
      {F::JpegXr, {{Ifd(xr, {{0xBC80, 3, 3}, {0xBC81, 4, 2}, {274, 3, 6}}), 3, 2},
                   {Ifd(xr, {{256, 3, 3}, {257, 3, 2}})},
                   {Ifd(xr, {{0xBC80, 4, 16385}, {0xBC81, 4, 16384}})}}},
      {F::WebP, {{WebP("VP8 ", vp8 + Le(0xC003, 2) + Le(0x4002, 2)), 3, 2},
                 {WebP("VP8 ", Put(vp8, 3, {0x9C}) + Le(3, 4))},
                 {WebP("VP8L", File{0x2F} + Le(0x1234 | 0x2345 << 14 | 1 << 28, 4)),
                  0x1235, 0x2346},
                 {WebP("VP8L", File{0x2E} + Le(0, 4))},
                 {WebP("VP8X", File(4, 0) + Le(2, 3) + Le(1, 3)), 3, 2},
                 {WebP("VP8X", File(4, 0) + Le(16384, 3) + Le(16383, 3))},
                 {WebP("VP8X", File(10, 0), 1)}, {Put(WebP("VP8X", File(10, 0)), 16, {11})},
                 {WebP("ALPH", File(10, 0))}}},
      {F::Heif, {{heif, 3, 2}, {Put(heif, 16, Be(0, 4)), 3, 2}, {Put(heif, 59, {21})},
                 {Heif(Box("colr", {}) + Ispe(9, 9) + Ispe(16384, 16384) + Ispe(8, 6)),
                  16384, 16384},
                 {Heif(Ispe(512, 512) + Ispe(16384, 16385))}, {Heif(Box("colr", {}))},
                 {Heif(Ispe(3, 2), S("isom") + Be(0, 4) + S("avif")), 3, 2},
                 {Heif(Ispe(3, 2), S("isomavifmp41"))}, {Heif(Box("ispe", Be(3, 8)) + Ispe(3, 2))},
                 {Heif(Box("ispe", Be(0, 4) + Be(3, 4) + Be(2, 4), true)), 3, 2}}},
      {F::JpegXl, {{Jxl({{1, 1}, {1, 5}, {0, 3}, {2, 5}, {1, 1}}), 24, 16}, {Cut(jxl, 7)},
                   {Jxl({{0, 1}, {2, 2}, {99999, 18}, {0, 3}, {0, 2}, {499, 9}}), 500, 100000},
                   {Jxl({{0, 1}, {2, 2}, {262143, 18}, {7, 3}})},
                   {jxl, 5, 300}, {JxlBoxes(Box("jxlc", jxl)), 5, 300},
                   {JxlBoxes(Box("jxlp", Be(0, 4) + jxl)), 5, 300},
                   {JxlBoxes(Box("jxlc", Put(jxl, 0, {0xFE})))},
                   {JxlBoxes(Box("jxlc", Cut(jxl, 7)) + Box("free", File(8, 0)))}}}};
  // clang-format on
  for (std::uint32_t ratio = 1; const int width : {1001, 1201, 1334, 1501, 1779, 1251, 2002})
    cases.back().second.push_back({Jxl({{0, 1}, {1, 2}, {1000, 13}, {ratio++, 3}}), width, 1001});
  for (const auto& [format, claims] : cases) {
    for (int i = 0; const auto& [file, width, height, turn] : claims) {
      const auto got =
          ReadPictureHeader(file).value_or(PictureHeader{format, {}, Orientation::Upright});
      EXPECT_EQ(std::tuple(got.format, got.size.width, got.size.height, int(got.orientation)),
                std::tuple(format, width, height, turn))
          << int(format) << ": " << i++;
    }
  }
}

}  // namespace ruzir::test

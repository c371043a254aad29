#include "show/picture_header.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace ruzir {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes Jpeg(const Bytes& segments) { return Bytes{0xFF, 0xD8} + segments; }

Bytes Be16(std::size_t value) { return {std::uint8_t(value >> 8), std::uint8_t(value)}; }

// A segment shaped like a one-component frame header, under any marker code.
Bytes Frame(std::uint8_t code, int width, int height) {
  return Bytes{0xFF, code, 0, 11, 8} + Be16(height) + Be16(width) + Bytes{1, 1, 0x11, 0};
}

// Filled with frame headers of 1 x 1 that a walk must step over.
Bytes App1(std::size_t length) {
  Bytes segment = Bytes{0xFF, 0xE1} + Be16(length);
  for (const Bytes frame = Frame(0xC0, 1, 1); segment.size() < 2 + length;) {
    segment.insert(segment.end(), frame.begin(), frame.end());
  }
  segment.resize(2 + length);
  return segment;
}

Bytes Cut(Bytes bytes, std::size_t size) {
  bytes.resize(size);
  return bytes;
}

void Put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = std::uint8_t(value >> (8 * i));
}

// "BM", a 40-byte info header and 4 bytes of pixels: 58 bytes.
Bytes Bmp(std::int32_t width, std::int32_t height, std::uint32_t colours = 0,
          std::uint32_t pixelsAt = 54) {
  Bytes bytes(58, 0);
  bytes[0] = 'B';
  bytes[1] = 'M';
  Put32(bytes, 10, pixelsAt);
  Put32(bytes, 14, 40);
  Put32(bytes, 18, static_cast<std::uint32_t>(width));
  Put32(bytes, 22, static_cast<std::uint32_t>(height));
  Put32(bytes, 46, colours);
  return bytes;
}

Bytes CoreBmp(std::uint16_t width, std::uint16_t height) {
  Bytes bytes = Bmp(0, 0);
  Put32(bytes, 14, 12);
  Put32(bytes, 18, width | std::uint32_t{height} << 16);
  return bytes;
}

TEST(PictureHeader, ClaimedSizeOrRefusal) {
  struct Case {
    const char* name;
    Bytes file;
    std::optional<PixelSize> size;
  };
  Bytes info16 = Bmp(4, 3);
  Put32(info16, 14, 16);
  const Case cases[] = {
      {"JPEG", Jpeg(Frame(0xC0, 640, 480)), PixelSize{640, 480}},
      {"frame header after 128 KiB of APP1, TEM, RST0, fill bytes, RST7 and stray bytes",
       Jpeg(App1(65535) + App1(65535) +
            Bytes{0xFF, 0x01, 0xFF, 0xD0, 0xFF, 0xFF, 0xD7, 0x12, 0xFF, 0x00} + Frame(0xC2, 3, 2)),
       PixelSize{3, 2}},
      {"DHT, JPG and DAC are no frame headers",
       Jpeg(Frame(0xC4, 1, 1) + Frame(0xC8, 1, 1) + Frame(0xCC, 1, 1) + Frame(0xCF, 5, 6)),
       PixelSize{5, 6}},
      {"largest JPEG", Jpeg(Frame(0xC0, 16384, 16384)), PixelSize{16384, 16384}},
      {"JPEG one row larger", Jpeg(Frame(0xC0, 16384, 16385)), std::nullopt},
      {"JPEG bomb", Jpeg(Frame(0xC0, 60000, 60000)), std::nullopt},
      {"JPEG zero height", Jpeg(Frame(0xC0, 640, 0)), std::nullopt},
      {"truncated frame header", Cut(Jpeg(Frame(0xC0, 640, 480)), 10), std::nullopt},
      {"segment running past the end", Cut(Jpeg(App1(4000)), 100), std::nullopt},
      {"scan before any frame", Jpeg(Bytes{0xFF, 0xDA, 0, 2} + Frame(0xC0, 8, 8)), std::nullopt},
      {"PNG named .jpg", {0x89, 'P', 'N', 'G', 13, 10, 26, 10}, std::nullopt},
      {"empty file", {}, std::nullopt},
      {"BMP", Bmp(4, 3), PixelSize{4, 3}},
      {"top-down BMP", Bmp(4, -3), PixelSize{4, 3}},
      {"core header BMP", CoreBmp(5, 7), PixelSize{5, 7}},
      {"BMP bomb", Bmp(60000, 60000), std::nullopt},
      {"BMP negative width", Bmp(-4, 3), std::nullopt},
      {"BMP one colour, filling the file", Bmp(4, 3, 1), PixelSize{4, 3}},
      {"BMP two colours, one too many", Bmp(4, 3, 2), std::nullopt},
      {"BMP colour count 0x7fffffff", Bmp(4, 3, 0x7FFFFFFF), std::nullopt},
      {"BMP pixels at the end of the file", Bmp(4, 3, 0, 58), std::nullopt},
      {"BMP 16-byte info header", info16, std::nullopt},
      {"truncated BMP", Cut(Bmp(4, 3), 40), std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ClaimedPictureSize(c.file), c.size) << c.name;
}

// Long segments are stepped over, not read: one read per window.
TEST(PictureHeader, ReadsTheFileAWindowAtATime) {
  const Bytes file = Jpeg(App1(65535) + App1(65535) + Frame(0xC0, 3, 2));
  int reads = 0;
  const auto size =
      ClaimedPictureSize(file.size(), [&](std::uint64_t offset, std::span<std::uint8_t> out) {
        ++reads;
        const std::size_t count = std::min<std::size_t>(out.size(), file.size() - offset);
        std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(offset), count, out.begin());
        return count;
      });
  EXPECT_EQ(size, (PixelSize{3, 2}));
  EXPECT_EQ(reads, 3);
}

}  // namespace
}  // namespace ruzir

#include "show/picture_header.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace ruzir {
namespace {

// The file through a window of 64 KiB: a header costs one read, and a long
// segment before a JPEG's frame header is stepped over by moving the window,
// not by reading what it holds.
class FileBytes {
 public:
  FileBytes(std::uint64_t size, const ReadAt& read) : size_(size), read_(read) {}

  std::optional<std::uint8_t> Byte(std::uint64_t at) {
    if (at >= size_) return std::nullopt;
    if (at < start_ || at - start_ >= filled_) {
      window_.resize(kWindow);
      start_ = at;
      filled_ = std::min(read_(at, window_), kWindow);
      if (filled_ == 0) return std::nullopt;
    }
    return window_[at - start_];
  }

  // `count` bytes from `at` as an unsigned number, most or least significant first.
  std::optional<std::uint32_t> Number(std::uint64_t at, int count, bool bigEndian) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
      const auto byte = Byte(at + i);
      if (!byte) return std::nullopt;
      value |= std::uint32_t{*byte} << (8 * (bigEndian ? count - 1 - i : i));
    }
    return value;
  }

 private:
  static constexpr std::size_t kWindow = 64 * 1024;
  std::uint64_t size_;
  const ReadAt& read_;
  std::vector<std::uint8_t> window_;
  std::uint64_t start_ = 0;
  std::size_t filled_ = 0;
};

std::optional<PixelSize> Fitting(std::uint64_t width, std::uint64_t height) {
  // Both are below 2^32, so the product cannot overflow.
  if (width == 0 || height == 0 || width * height > kMaxPictureBytes / 4) return std::nullopt;
  return PixelSize{static_cast<int>(width), static_cast<int>(height)};
}

// SOF0 to SOF15, except DHT (C4), JPG (C8) and DAC (CC) among them.
bool IsFrameHeader(std::uint8_t code) {
  return code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
}

// TEM and the restart markers carry no length.
bool IsStandalone(std::uint8_t code) { return code == 0x01 || (code >= 0xD0 && code <= 0xD7); }

// The orientation recorded in the APP1 segment of `size` bytes at `at`;
// nullopt when it holds no EXIF data. Only IFD0 is looked at (no offset is
// followed further, so nothing can loop), and a number is read only once it
// is known to lie inside the segment: damaged data gives Upright.
std::optional<Orientation> ExifOrientation(FileBytes& file, std::uint64_t at, std::uint64_t size) {
  bool bigEndian = true;
  const auto number = [&](std::uint64_t offset, int count) -> std::optional<std::uint32_t> {
    if (offset + count > size) return std::nullopt;
    return file.Number(at + offset, count, bigEndian);
  };
  if (number(0, 4) != 0x45786966 || number(4, 2) != 0) return std::nullopt;  // "Exif\0\0"
  at += 6;  // offsets count from the TIFF header on
  size -= 6;
  const auto order = number(0, 4);
  bigEndian = order == 0x4D4D002A;                                     // "MM\0*"
  if (!bigEndian && order != 0x49492A00) return Orientation::Upright;  // nor "II*\0"
  const std::uint64_t ifd = number(4, 4).value_or(0);
  if (ifd < 8) return Orientation::Upright;  // inside the header
  // A count, then 12-byte entries: tag, type, count, value.
  const std::uint64_t first = ifd + 2, end = first + 12 * std::uint64_t{number(ifd, 2).value_or(0)};
  if (end > size) return Orientation::Upright;
  for (std::uint64_t entry = first; entry < end; entry += 12) {
    // Tag 274, one value: a SHORT held in the value's first two bytes, or,
    // as some writers store it, a LONG in all four.
    if (number(entry, 2) != 274 || number(entry + 4, 4) != 1) continue;
    const auto type = number(entry + 2, 2);
    if (type == 3 || type == 4) {
      return OrientationFromExif(number(entry + 8, type == 3 ? 2 : 4).value_or(0));
    }
  }
  return Orientation::Upright;
}

// The size in the first frame header, and the orientation in the first EXIF
// segment before it. Between segments, stray bytes and fill bytes are passed
// over the way decoders do, so that the frame header found here is the one the
// codec will read.
std::optional<PixelSize> JpegSize(FileBytes& file, std::optional<Orientation>& exif) {
  std::uint64_t at = 2;  // past SOI
  for (;;) {
    // A marker is 0xFF followed by a code other than 0xFF (fill) and 0x00.
    std::uint8_t previous = 0;
    std::uint8_t code = 0;
    while (code == 0) {
      const auto byte = file.Byte(at++);
      if (!byte) return std::nullopt;
      if (previous == 0xFF && *byte != 0xFF) code = *byte;
      previous = *byte;
    }
    if (IsStandalone(code)) continue;
    // Another SOI, the end of the picture or a scan: there is no frame.
    if (code >= 0xD8 && code <= 0xDA) return std::nullopt;
    const auto length = file.Number(at, 2, true);  // counts itself
    if (!length || *length < 2) return std::nullopt;
    if (IsFrameHeader(code)) {
      // Length, precision, height, width.
      const auto height = file.Number(at + 3, 2, true);
      const auto width = file.Number(at + 5, 2, true);
      if (*length < 8 || !height || !width) return std::nullopt;
      return Fitting(*width, *height);
    }
    if (code == 0xE1 && !exif) exif = ExifOrientation(file, at + 2, *length - 2);
    at += *length;
  }
}

std::optional<PixelSize> BmpSize(FileBytes& file, std::uint64_t fileSize) {
  const auto pixelsAt = file.Number(10, 4, false);
  const auto infoSize = file.Number(14, 4, false);
  if (!pixelsAt || !infoSize || *pixelsAt >= fileSize) return std::nullopt;
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::uint64_t paletteBytes = 0;
  if (*infoSize == 12) {
    // BITMAPCOREHEADER: 16-bit sizes, no colour count.
    const auto w = file.Number(18, 2, false);
    const auto h = file.Number(20, 2, false);
    if (!w || !h) return std::nullopt;
    width = *w;
    height = *h;
  } else if (*infoSize >= 40) {
    // BITMAPINFOHEADER and its successors: 32-bit signed sizes (a negative
    // height is a top-down picture) and the palette's colour count.
    const auto w = file.Number(18, 4, false);
    const auto h = file.Number(22, 4, false);
    const auto colours = file.Number(46, 4, false);
    if (!w || !h || !colours) return std::nullopt;
    width = static_cast<std::int32_t>(*w);
    height = std::llabs(static_cast<std::int32_t>(*h));
    paletteBytes = std::uint64_t{*colours} * 4;
  } else {
    return std::nullopt;
  }
  if (width < 0 || 14 + std::uint64_t{*infoSize} + paletteBytes > fileSize) return std::nullopt;
  return Fitting(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height));
}

}  // namespace

std::optional<PictureHeader> ReadPictureHeader(std::uint64_t fileSize, const ReadAt& read) {
  FileBytes file(fileSize, read);
  const auto signature = file.Number(0, 2, true);
  std::optional<PixelSize> size;
  std::optional<Orientation> exif;
  PictureFormat format = PictureFormat::Jpeg;
  if (signature == 0xFFD8) size = JpegSize(file, exif);
  if (signature == 0x424D) {  // "BM"
    format = PictureFormat::Bmp;
    size = BmpSize(file, fileSize);
  }
  if (!size) return std::nullopt;
  return PictureHeader{format, *size, exif.value_or(Orientation::Upright)};
}

std::optional<PictureHeader> ReadPictureHeader(std::span<const std::uint8_t> file) {
  return ReadPictureHeader(file.size(), [file](std::uint64_t offset, std::span<std::uint8_t> out) {
    const auto rest = file.subspan(static_cast<std::size_t>(offset));
    const std::size_t count = std::min(rest.size(), out.size());
    std::copy_n(rest.begin(), count, out.begin());
    return count;
  });
}

}  // namespace ruzir

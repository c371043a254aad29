// Each format's reader trusts no offset or length before it is known to lie
// inside the file and the structure holding it, and every walk (JPEG
// segments, GIF blocks, ISO boxes) only moves forward, so a hostile file costs
// at most one pass over it, never a loop. Only the fixed levels a size is
// kept at are entered; nothing recurses.
#include "show/picture_header.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <initializer_list>
#include <vector>

namespace ruzir {
namespace {

// The file through a window of 64 KiB: a header costs one read, and a long
// segment before a JPEG's frame header is stepped over by moving the window,
// not by reading what it holds.
class FileBytes {
 public:
  FileBytes(std::uint64_t size, const ReadAt& read) : size_(size), read_(read) {}

  std::uint64_t Size() const { return size_; }

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

// Four characters as the big-endian number a file stores them as.
constexpr std::uint32_t Tag(const char (&name)[5]) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value = value << 8 | static_cast<std::uint8_t>(name[i]);
  return value;
}

constexpr std::uint32_t kTiffBigEndian = 0x4D4D002A;     // "MM\0*"
constexpr std::uint32_t kTiffLittleEndian = 0x49492A00;  // "II*\0"

// A TIFF structure (a TIFF or JPEG XR file, or EXIF data) of `size` bytes at
// `at`; its offsets count from `at`. A number is read only once it is known
// to lie inside.
struct TiffData {
  FileBytes& file;
  std::uint64_t at;
  std::uint64_t size;
  bool bigEndian;

  std::optional<std::uint32_t> Number(std::uint64_t offset, int count) const {
    if (offset + count > size) return std::nullopt;
    return file.Number(at + offset, count, bigEndian);
  }
};

// The value of each of `tags` in the first IFD, whose offset follows the
// signature; nullopt when that IFD does not lie inside. An entry counts when
// it holds one value: a SHORT in the value's first two bytes or, as some
// writers store it, a LONG in all four; the first such entry of a tag wins.
// No offset is followed further, so nothing can loop.
template <std::size_t N>
std::optional<std::array<std::optional<std::uint32_t>, N>> FirstIfd(
    const TiffData& tiff, const std::array<std::uint16_t, N>& tags) {
  const std::uint64_t ifd = tiff.Number(4, 4).value_or(0);
  if (ifd < 8) return std::nullopt;  // inside the header
  // A count, then 12-byte entries: tag, type, count, value.
  const std::uint64_t first = ifd + 2;
  const std::uint64_t end = first + 12 * std::uint64_t{tiff.Number(ifd, 2).value_or(0)};
  if (end > tiff.size) return std::nullopt;
  std::array<std::optional<std::uint32_t>, N> values;
  for (std::uint64_t entry = first; entry < end; entry += 12) {
    const auto type = tiff.Number(entry + 2, 2);
    if ((type != 3 && type != 4) || tiff.Number(entry + 4, 4) != 1) continue;
    const auto tag = tiff.Number(entry, 2);
    for (std::size_t i = 0; i < N; ++i) {
      if (tag == tags[i] && !values[i]) values[i] = tiff.Number(entry + 8, type == 3 ? 2 : 4);
    }
  }
  return values;
}

// SOF0 to SOF15, except DHT (C4), JPG (C8) and DAC (CC) among them.
bool IsFrameHeader(std::uint8_t code) {
  return code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
}

// TEM and the restart markers carry no length.
bool IsStandalone(std::uint8_t code) { return code == 0x01 || (code >= 0xD0 && code <= 0xD7); }

// The orientation recorded in the APP1 segment of `size` bytes at `at`;
// nullopt when it holds no EXIF data. Damaged data gives Upright.
std::optional<Orientation> ExifOrientation(FileBytes& file, std::uint64_t at, std::uint64_t size) {
  const TiffData segment{file, at, size, true};
  if (segment.Number(0, 4) != Tag("Exif") || segment.Number(4, 2) != 0) return std::nullopt;
  TiffData tiff{file, at + 6, size - 6, true};  // offsets count from the TIFF header on
  const auto order = tiff.Number(0, 4);
  tiff.bigEndian = order == kTiffBigEndian;
  if (!tiff.bigEndian && order != kTiffLittleEndian) return Orientation::Upright;
  const auto tags = FirstIfd(tiff, std::array<std::uint16_t, 1>{274});
  return OrientationFromExif(tags ? (*tags)[0].value_or(0) : 0);
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
      // Every 8 x 8 block of a Huffman-coded picture (SOF0 to SOF7) costs
      // at least a bit, its DC code, in a progressive file too; arithmetic
      // coding (SOF9 on) can do with less.
      const std::uint64_t blocks = (*width + 7) / 8 * ((*height + 7) / 8);
      if (code < 0xC8 && (blocks + 7) / 8 > file.Size()) return std::nullopt;
      return Fitting(*width, *height);
    }
    if (code == 0xE1 && !exif) exif = ExifOrientation(file, at + 2, *length - 2);
    at += *length;
  }
}

std::optional<PixelSize> BmpSize(FileBytes& file) {
  const std::uint64_t fileSize = file.Size();
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

// PNG: the signature, then the IHDR chunk (13 bytes and their CRC) first.
// Sizes of 2^31 and more, which the format forbids, are beyond the bound.
std::optional<PixelSize> PngSize(FileBytes& file) {
  if (file.Number(4, 4, true) != 0x0D0A1A0A || file.Number(8, 4, true) != 13 ||
      file.Number(12, 4, true) != Tag("IHDR") || file.Size() < 33) {
    return std::nullopt;
  }
  return Fitting(file.Number(16, 4, true).value_or(0), file.Number(20, 4, true).value_or(0));
}

// GIF: the logical screen, and the first frame together with its place on
// it: the codec allocates the screen and the frame, and hands over the frame
// at its own size. The blocks before the frame are stepped over sub-block by
// sub-block; every step moves on, so the file's end ends the walk.
std::optional<PixelSize> GifSize(FileBytes& file) {
  const auto version = file.Number(4, 2, true);
  const auto flags = file.Byte(10);
  if ((version != 0x3761 && version != 0x3961) || !flags) return std::nullopt;  // "7a", "9a"
  const auto number = [&](std::uint64_t at) -> std::uint64_t {
    return file.Number(at, 2, false).value_or(0);
  };
  if (!Fitting(number(6), number(8))) return std::nullopt;
  // A global colour table of 2^(n + 1) colours, 3 bytes each.
  std::uint64_t at = 13 + (*flags & 0x80 ? 3u << ((*flags & 7) + 1) : 0);
  for (;;) {
    const auto block = file.Byte(at);
    if (block == 0x2C) {  // an image descriptor: left, top, width, height
      if (!Fitting(number(at + 1) + number(at + 5), number(at + 3) + number(at + 7))) {
        return std::nullopt;
      }
      return Fitting(number(at + 5), number(at + 7));
    }
    if (block != 0x21) return std::nullopt;  // the trailer or damage: no frame
    // An extension: its label, then sub-blocks up to an empty one.
    at += 2;
    for (std::uint8_t length = 1; length != 0; at += 1 + length) {
      const auto byte = file.Byte(at);
      if (!byte) return std::nullopt;
      length = *byte;
    }
  }
}

// TIFF: the first IFD's ImageWidth (256) and ImageLength (257), both needed,
// and its Orientation (274): the platform's TIFF codec does not turn
// pictures upright. BigTIFF (version 43, with 64-bit offsets) is refused:
// it exists for files beyond 4 GB, and pictures within the bound seldom
// come in it.
std::optional<PixelSize> TiffSize(FileBytes& file, bool bigEndian, Orientation& orientation) {
  const auto tags = FirstIfd(TiffData{file, 0, file.Size(), bigEndian},
                             std::array<std::uint16_t, 3>{256, 257, 274});
  if (!tags) return std::nullopt;
  orientation = OrientationFromExif((*tags)[2].value_or(0));
  return Fitting((*tags)[0].value_or(0), (*tags)[1].value_or(0));
}

// JPEG XR: a little-endian TIFF structure whose first IFD holds the width
// (0xBC80) and the height (0xBC81).
std::optional<PixelSize> JpegXrSize(FileBytes& file) {
  const auto tags =
      FirstIfd(TiffData{file, 0, file.Size(), false}, std::array<std::uint16_t, 2>{0xBC80, 0xBC81});
  if (!tags) return std::nullopt;
  return Fitting((*tags)[0].value_or(0), (*tags)[1].value_or(0));
}

// WebP: a RIFF file no longer than the file, whose first chunk, inside it,
// holds the picture: lossy (VP8), lossless (VP8L) or extended (VP8X, whose
// canvas every frame lies on).
std::optional<PixelSize> WebPSize(FileBytes& file) {
  const std::uint64_t riffEnd = 8 + std::uint64_t{file.Number(4, 4, false).value_or(0)};
  const auto chunk = file.Number(16, 4, false);
  if (file.Number(8, 4, true) != Tag("WEBP") || riffEnd > file.Size() || !chunk ||
      20 + std::uint64_t{*chunk} > riffEnd) {
    return std::nullopt;
  }
  const auto number = [&](std::uint64_t at, int count) -> std::uint64_t {
    return file.Number(at, count, false).value_or(0);
  };
  const auto fourcc = file.Number(12, 4, true);
  // A frame tag (3 bytes), the start code, then 14-bit sizes under 2 bits of scaling.
  if (fourcc == Tag("VP8 ") && *chunk >= 10 && file.Number(23, 3, true) == 0x9D012A) {
    return Fitting(number(26, 2) & 0x3FFF, number(28, 2) & 0x3FFF);
  }
  // A signature byte, then the width and height less one in 14 bits each,
  // least significant first.
  if (fourcc == Tag("VP8L") && *chunk >= 5 && file.Byte(20) == 0x2F) {
    const std::uint64_t bits = number(21, 4);
    return Fitting((bits & 0x3FFF) + 1, (bits >> 14 & 0x3FFF) + 1);
  }
  // Flags (4 bytes), then the canvas' width and height less one in 24 bits each.
  if (fourcc == Tag("VP8X") && *chunk >= 10) return Fitting(number(24, 3) + 1, number(27, 3) + 1);
  return std::nullopt;
}

// A box of an ISO base media file (HEIF) or of the JPEG XL container: its
// type, where its content begins and where it ends.
struct Box {
  std::uint32_t type;
  std::uint64_t content;
  std::uint64_t end;
};

// The box at `at` in a parent ending at `end` (`at` before it); nullopt when
// it does not lie within. A 32-bit size of 1 means a 64-bit size follows the
// type, 0 the rest of the parent.
std::optional<Box> BoxAt(FileBytes& file, std::uint64_t at, std::uint64_t end) {
  const auto size = file.Number(at, 4, true);
  const auto type = file.Number(at + 4, 4, true);
  if (!size || !type) return std::nullopt;
  std::uint64_t length = *size;
  std::uint64_t header = 8;
  if (length == 1) {
    const auto high = file.Number(at + 8, 4, true);
    const auto low = file.Number(at + 12, 4, true);
    if (!high || !low) return std::nullopt;
    length = std::uint64_t{*high} << 32 | *low;
    header = 16;
  } else if (length == 0) {
    length = end - at;
  }
  if (length < header || length > end - at) return std::nullopt;
  return Box{*type, at + header, at + length};
}

// The first box of one of `types` from `at` to `end`; nullopt when there is
// none, or one on the way does not lie within. Every box is 8 bytes at least,
// so the walk moves on.
std::optional<Box> FindBox(FileBytes& file, std::uint64_t at, std::uint64_t end,
                           std::initializer_list<std::uint32_t> types) {
  while (at < end) {
    const auto box = BoxAt(file, at, end);
    if (!box || std::find(types.begin(), types.end(), box->type) != types.end()) return box;
    at = box->end;
  }
  return std::nullopt;
}

// HEIF (HEIC, AVIF): a first ftyp box naming a still or sequence image
// brand, then the top-level meta box (a full box), its iprp box and that
// one's ipco box, whose ispe properties hold the extents of the items. Each
// is bounded, the largest counting as the picture's: a grid's whole size
// rather than a tile's or a thumbnail's. The levels are fixed and every box
// lies within its parent, so the walk ends within the file.
std::optional<PixelSize> HeifSize(FileBytes& file) {
  static constexpr std::array<std::uint32_t, 10> kBrands = {
      Tag("mif1"), Tag("msf1"), Tag("heic"), Tag("heix"), Tag("heim"),
      Tag("heis"), Tag("hevc"), Tag("hevx"), Tag("avif"), Tag("avis")};
  const auto ftyp = BoxAt(file, 0, file.Size());
  if (!ftyp) return std::nullopt;
  // The major brand, a minor version, then the compatible brands.
  bool image = false;
  for (std::uint64_t at = ftyp->content; at + 4 <= ftyp->end; at += at == ftyp->content ? 8 : 4) {
    const auto brand = file.Number(at, 4, true);
    image = image || std::find(kBrands.begin(), kBrands.end(), brand) != kBrands.end();
  }
  const auto meta = image ? FindBox(file, ftyp->end, file.Size(), {Tag("meta")}) : std::nullopt;
  const auto iprp =
      meta ? FindBox(file, meta->content + 4, meta->end, {Tag("iprp")}) : std::nullopt;
  const auto ipco = iprp ? FindBox(file, iprp->content, iprp->end, {Tag("ipco")}) : std::nullopt;
  if (!ipco) return std::nullopt;
  std::optional<PixelSize> largest;
  for (std::uint64_t at = ipco->content; at < ipco->end;) {
    const auto box = BoxAt(file, at, ipco->end);
    if (!box) return std::nullopt;
    if (box->type == Tag("ispe")) {
      // Version and flags, then the width and height.
      if (box->content + 12 > box->end) return std::nullopt;
      const auto size = Fitting(file.Number(box->content + 4, 4, true).value_or(0),
                                file.Number(box->content + 8, 4, true).value_or(0));
      if (!size) return std::nullopt;
      const auto area = [](PixelSize s) { return std::int64_t{s.width} * s.height; };
      if (!largest || area(*size) > area(*largest)) largest = size;
    }
    at = box->end;
  }
  return largest;
}

// The bits from `at` on, up to `end`, least significant first, as a JPEG XL
// codestream packs its fields.
class Bits {
 public:
  Bits(FileBytes& file, std::uint64_t at, std::uint64_t end) : file_(file), at_(at), end_(end) {}

  // A field of `count` bits; 0, and no longer Complete(), past the end.
  std::uint32_t Read(int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i, ++bit_) {
      const std::uint64_t at = at_ + bit_ / 8;
      const auto byte = at < end_ ? file_.Byte(at) : std::nullopt;
      if (!byte) complete_ = false;
      value |= std::uint32_t{byte.value_or(0) >> (bit_ % 8) & 1u} << i;
    }
    return value;
  }
  bool Complete() const { return complete_; }

 private:
  FileBytes& file_;
  std::uint64_t at_;
  std::uint64_t end_;
  std::uint64_t bit_ = 0;
  bool complete_ = true;
};

// JPEG XL: the size header right after a codestream's FF 0A, at `at` in a
// box or file ending at `end`. A flag tells a height of 8 to 256 in steps of
// 8 (5 bits) from any other, which a 2-bit selector codes in 9, 13, 18 or 30
// bits, less one. A 3-bit ratio follows: 0 for a width coded the same way,
// else one of seven fixed ratios to the height, rounded down.
std::optional<PixelSize> JpegXlCodestreamSize(FileBytes& file, std::uint64_t at,
                                              std::uint64_t end) {
  if (file.Number(at, 2, true) != 0xFF0A) return std::nullopt;
  Bits bits(file, at + 2, end);
  const bool small = bits.Read(1) == 1;
  const auto dimension = [&]() -> std::uint64_t {
    static constexpr int kLengths[] = {9, 13, 18, 30};
    if (small) return (bits.Read(5) + 1) * std::uint64_t{8};
    return bits.Read(kLengths[bits.Read(2)]) + std::uint64_t{1};
  };
  const std::uint64_t height = dimension();
  const std::uint32_t ratio = bits.Read(3);
  static constexpr std::uint64_t kRatios[7][2] = {{1, 1},  {12, 10}, {4, 3}, {3, 2},
                                                  {16, 9}, {5, 4},   {2, 1}};
  const std::uint64_t width =
      ratio == 0 ? dimension() : height * kRatios[ratio - 1][0] / kRatios[ratio - 1][1];
  if (!bits.Complete()) return std::nullopt;
  return Fitting(width, height);
}

// JPEG XL, a bare codestream or the container: a signature box, then boxes
// of which the first jxlc holds the codestream, or the first jxlp, after a
// 4-byte index, its first part.
std::optional<PixelSize> JpegXlSize(FileBytes& file) {
  if (file.Number(0, 2, true) == 0xFF0A) return JpegXlCodestreamSize(file, 0, file.Size());
  if (file.Number(4, 4, true) != Tag("JXL ") || file.Number(8, 4, true) != 0x0D0A870A) {
    return std::nullopt;
  }
  const auto box = FindBox(file, 12, file.Size(), {Tag("jxlc"), Tag("jxlp")});
  if (!box) return std::nullopt;
  const std::uint64_t index = box->type == Tag("jxlp") ? 4 : 0;
  return JpegXlCodestreamSize(file, box->content + index, box->end);
}

}  // namespace

std::optional<PictureHeader> ReadPictureHeader(std::uint64_t fileSize, const ReadAt& read) {
  using enum PictureFormat;
  FileBytes file(fileSize, read);
  const std::uint32_t head = file.Number(0, 4, true).value_or(0);
  PictureHeader header;
  std::optional<PixelSize> size;
  if (head >> 16 == 0xFFD8) {
    std::optional<Orientation> exif;
    size = JpegSize(file, exif);
    header.orientation = exif.value_or(Orientation::Upright);
  } else if (head >> 16 == 0x424D) {  // "BM"
    header.format = Bmp, size = BmpSize(file);
  } else if (head == 0x89504E47) {  // "\x89PNG"
    header.format = Png, size = PngSize(file);
  } else if (head == Tag("GIF8")) {
    header.format = Gif, size = GifSize(file);
  } else if (head == kTiffBigEndian || head == kTiffLittleEndian) {
    header.format = Tiff, size = TiffSize(file, head == kTiffBigEndian, header.orientation);
  } else if (head == 0x4949BC01) {  // "II\xBC\x01"
    header.format = JpegXr, size = JpegXrSize(file);
  } else if (head == Tag("RIFF")) {
    header.format = WebP, size = WebPSize(file);
  } else if (file.Number(4, 4, true) == Tag("ftyp")) {
    header.format = Heif, size = HeifSize(file);
  } else if (head >> 16 == 0xFF0A || head == 12) {  // a codestream, or the container's first box
    header.format = JpegXl, size = JpegXlSize(file);
  }
  if (!size) return std::nullopt;
  header.size = *size;
  return header;
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

// The size a picture file claims in its own header, read before any codec
// sees the file.
//
// The platform's codecs allocate the whole picture as soon as its frame is
// opened, before the program can ask for its size: a file of a few bytes
// claiming 16384 x 16384 pixels takes gigabytes and most of a minute. So the
// claim is read here first from the format's own header: a JPEG's first frame
// marker, a BMP's file and info headers, a PNG's IHDR chunk, a GIF's logical
// screen and first frame, the first IFD of a TIFF or JPEG XR file, a WebP's
// first chunk, the image extents of a HEIF (HEIC, AVIF) file, a JPEG XL
// codestream's size header. A file that claims more than kMaxPictureBytes, or
// whose header is damaged, cut short, or contradicts itself or the file's
// length, counts as one that cannot be loaded.
//
// The format is told by the content, never by the name (a PNG named .jpg is
// a PNG), and a file of any other kind is refused: nothing here would bound
// what its codec allocates.
//
// A JPEG's claim is weighed against its file's length as well. Every 8 x 8
// block of a Huffman-coded picture costs at least a bit, so a file with fewer
// bytes than an eighth of its blocks (about 1953 bytes a megapixel) cannot
// hold the picture it claims; real photos take many times that, while a
// hostile 5 KB file claiming 16384 x 16384 falls far short. Arithmetic
// coding can squeeze a plain picture further and is exempt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "show/orientation.h"
#include "support/surface.h"

namespace ruzir {

// The largest picture loaded at all, in bytes of 32-bit pixels.
inline constexpr std::uint64_t kMaxPictureBytes = std::uint64_t{1} << 30;

// Reads up to out.size() bytes of the file from `offset` (always inside the
// file) on; returns how many it read, fewer at the end or on an error.
using ReadAt = std::function<std::size_t(std::uint64_t offset, std::span<std::uint8_t> out)>;

// The kinds of picture file told apart by their content.
enum class PictureFormat { Jpeg, Bmp, Png, Gif, Tiff, JpegXr, WebP, Heif, JpegXl };

// What a picture file's header claims.
struct PictureHeader {
  PictureFormat format = PictureFormat::Jpeg;
  PixelSize size;  // as stored, before any turn
  Orientation orientation = Orientation::Upright;
};

// The header of a file of `fileSize` bytes, read through `read` a window at a
// time; nullopt when the file is of no format above, its header is damaged or
// the picture is larger than kMaxPictureBytes. Damaged or missing EXIF data
// (or a TIFF's orientation) only leaves the picture as stored.
std::optional<PictureHeader> ReadPictureHeader(std::uint64_t fileSize, const ReadAt& read);

// The same for a file held whole in memory.
std::optional<PictureHeader> ReadPictureHeader(std::span<const std::uint8_t> file);

}  // namespace ruzir

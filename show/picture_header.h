// The size a picture file claims in its own header, read before any codec
// sees the file.
//
// The platform's codecs allocate the whole picture as soon as its frame is
// opened, before the program can ask for its size: a file of a few bytes
// claiming 60000 x 60000 pixels takes gigabytes and brings the show down. So
// the header of a JPEG (its first frame marker) or a BMP (its file and info
// headers) is read here first, and a file that claims more than
// kMaxPictureBytes, or whose header contradicts itself or the file's length,
// counts as one that cannot be loaded.
//
// Any other kind of file is refused as well, even when a codec would know it
// (a PNG named .jpg): the show is made of JPEG and BMP files, and for other
// formats nothing here would bound what the codec allocates.
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
// time; nullopt when the file is no JPEG or BMP, its header is damaged or the
// picture is larger than kMaxPictureBytes. Damaged or missing EXIF data only
// leaves the picture as stored.
std::optional<PictureHeader> ReadPictureHeader(std::uint64_t fileSize, const ReadAt& read);

// The same for a file held whole in memory.
std::optional<PictureHeader> ReadPictureHeader(std::span<const std::uint8_t> file);

}  // namespace ruzir

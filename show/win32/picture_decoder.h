// Picture files through the platform's codecs (WIC): the first frame of a
// picture file of any format the header check bounds, converted to 32-bit BGR and resampled to the
// exact size it is shown at.
//
// A camera JPEG is many times larger than the picture on screen. Where the
// codec can decode at 1/2, 1/4 or 1/8 scale, a WIC scaler placed right after
// the decoder asks it to, at the smallest such size that is still no smaller
// than the target; the filtered resampling then does the rest. A codec
// without decode-time scaling is decoded at full size.
//
// The decoded pixels are copied out of the codec a band of rows at a time,
// each box-shrunk as it comes (show/resample.h): no full-size 32-bit copy of
// a photo is ever made. A photo stored turned is resampled at its stored
// orientation, then the small picture is turned upright.
//
// The decoder only uses the imaging component, no window or GDI: it may run
// on a worker thread, in that thread's own COM apartment.
//
// Before a codec sees a file, its header tells the size it claims
// (show/picture_header.h): the codecs allocate the whole picture as soon as
// its frame is opened, so a file claiming too much is refused by its header.
// The codec then reads the file through the very handle the header was read
// from, opened so that nobody can write to it meanwhile.
#pragma once

#include <wincodec.h>

#include <optional>
#include <string>
#include <vector>

#include "show/orientation.h"
#include "show/picture_header.h"
#include "support/surface.h"
#include "support/win32/com.h"
#include "support/win32/handles.h"

namespace ruzir::win32 {

// The largest picture decoded at all, in bytes of 32-bit pixels after any
// decode-time scaling: beyond it a file counts as one that cannot be loaded.
inline constexpr std::size_t kMaxDecodeBytes = kMaxPictureBytes;

struct OpenedPicture {
  unique_handle file;  // read by the frame, so it goes after it
  com_ptr<IWICBitmapFrameDecode> frame;
  PixelSize stored;  // natural size in pixels, as the file stores them
  Orientation orientation = Orientation::Upright;
  PixelSize size;  // natural size once upright: what the slide is made from
};

class PictureDecoder {
 public:
  // nullopt when the platform has no imaging component.
  static std::optional<PictureDecoder> Create() noexcept;

  // The file's first frame and its size; nullopt when the file cannot be
  // opened, its header claims too large a picture or is damaged, it is of no
  // format the header check knows, or no codec of that format decodes it. Throws std::bad_alloc
  // when out of memory, as the methods below do: the caller's catch treats that as a picture not
  // loaded.
  std::optional<OpenedPicture> Open(const std::wstring& file) const;

  // Each installed decoder's file extensions as it declares them
  // (".tiff,.tif"); none when they cannot be listed. Throws std::bad_alloc.
  std::vector<std::wstring> DeclaredExtensions() const;

  // Decodes the picture into all of `target`, upright and resampled to its
  // size. False when decoding fails (a damaged file) or the picture is too
  // large; a picture decoded straight into the target may have left part of
  // it there.
  bool DecodeInto(const OpenedPicture& picture, const SurfaceView& target) const;

 private:
  PictureDecoder() = default;

  // Far more than any codec's list: a longer one is no list of extensions.
  static constexpr UINT kMaxExtensionsLength = 4096;

  // The smallest decode-time reduction of the stored picture still at least
  // as large as `target`, or the stored size when the codec offers none.
  PixelSize DecodeSize(const OpenedPicture& picture, PixelSize target) const noexcept;

  // Decodes the picture as stored, no turn, into all of `target`.
  bool DecodeStored(const OpenedPicture& picture, const SurfaceView& target) const;

  com_ptr<IWICImagingFactory> factory_;
};

}  // namespace ruzir::win32

#include "show/win32/picture_decoder.h"

#include <new>
#include <vector>

#include "show/resample.h"
#include "support/win32/long_path.h"

namespace ruzir::win32 {
namespace {

// The codec's own scaling interface. Declared here because not every SDK's
// headers carry it; the layout is the platform's.
#ifndef __IWICBitmapSourceTransform_INTERFACE_DEFINED__
struct IWICBitmapSourceTransform : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT width, UINT height,
                                               WICPixelFormatGUID* format,
                                               WICBitmapTransformOptions transform, UINT stride,
                                               UINT bufferSize, BYTE* buffer) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) = 0;
  virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform,
                                                         BOOL* supported) = 0;
};
#endif
constexpr IID kIidBitmapSourceTransform = {
    0x3B16811B, 0x6A43, 0x4EC9, {0xB7, 0x13, 0x3D, 0x5A, 0x0C, 0x13, 0xB9, 0x40}};

// The container a codec must declare to decode a file of `format`: the one
// whose header was read. Newer SDKs name the JPEG XL one; older headers lack it.
GUID ContainerOf(PictureFormat format) {
  switch (format) {
    case PictureFormat::Jpeg:
      return GUID_ContainerFormatJpeg;
    case PictureFormat::Bmp:
      return GUID_ContainerFormatBmp;
    case PictureFormat::Png:
      return GUID_ContainerFormatPng;
    case PictureFormat::Gif:
      return GUID_ContainerFormatGif;
    case PictureFormat::Tiff:
      return GUID_ContainerFormatTiff;
    case PictureFormat::JpegXr:
      return GUID_ContainerFormatWmp;
    case PictureFormat::WebP:
      return GUID_ContainerFormatWebp;
    case PictureFormat::Heif:  // AVIF too: the HEIF codec decodes both
      return GUID_ContainerFormatHeif;
    case PictureFormat::JpegXl:
      return {0xFEC14E3F, 0x427A, 0x4736, {0xAA, 0xE6, 0x27, 0xED, 0x84, 0xF6, 0x93, 0x22}};
  }
  return GUID_NULL;
}

}  // namespace

std::optional<PictureDecoder> PictureDecoder::Create() noexcept {
  PictureDecoder decoder;
  if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, decoder.factory_.put_void()))) {
    return std::nullopt;
  }
  return decoder;
}

std::optional<OpenedPicture> PictureDecoder::Open(const std::wstring& file) const {
  // Renaming or deleting the file stays possible while it is open; writing
  // to it does not, so what the codec reads is what the header check read.
  const HANDLE handle =
      ::CreateFileW(UsablePath(file).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  OpenedPicture picture;
  picture.file.reset(handle);
  LARGE_INTEGER fileSize{};
  if (!::GetFileSizeEx(handle, &fileSize)) return std::nullopt;
  const auto claimed = ReadPictureHeader(
      static_cast<std::uint64_t>(fileSize.QuadPart),
      [handle](std::uint64_t offset, std::span<std::uint8_t> out) -> std::size_t {
        LARGE_INTEGER at{};
        at.QuadPart = static_cast<LONGLONG>(offset);
        DWORD read = 0;
        if (!::SetFilePointerEx(handle, at, nullptr, FILE_BEGIN) ||
            !::ReadFile(handle, out.data(), static_cast<DWORD>(out.size()), &read, nullptr)) {
          return 0;
        }
        return read;
      });
  if (!claimed || !::SetFilePointerEx(handle, LARGE_INTEGER{}, nullptr, FILE_BEGIN)) {
    return std::nullopt;
  }

  // The system picks the codec by the content, as the header check did; one
  // of another format would read what nothing here has bounded.
  com_ptr<IWICBitmapDecoder> decoder;
  GUID container = GUID_NULL;
  UINT width = 0;
  UINT height = 0;
  if (FAILED(factory_->CreateDecoderFromFileHandle(reinterpret_cast<ULONG_PTR>(handle), nullptr,
                                                   WICDecodeMetadataCacheOnDemand,
                                                   decoder.put())) ||
      FAILED(decoder->GetContainerFormat(&container)) ||
      !IsEqualGUID(container, ContainerOf(claimed->format)) ||
      FAILED(decoder->GetFrame(0, picture.frame.put())) ||
      FAILED(picture.frame->GetSize(&width, &height)) || width == 0 || height == 0 ||
      width > 0x7FFFFFFFu || height > 0x7FFFFFFFu) {
    return std::nullopt;
  }
  picture.stored = {static_cast<int>(width), static_cast<int>(height)};
  picture.orientation = claimed->orientation;
  picture.size = UprightSize(picture.stored, picture.orientation);
  return picture;
}

std::vector<std::wstring> PictureDecoder::DeclaredExtensions() const {
  std::vector<std::wstring> lists;
  com_ptr<IEnumUnknown> codecs;
  if (FAILED(factory_->CreateComponentEnumerator(WICDecoder, WICComponentEnumerateDefault,
                                                 codecs.put()))) {
    return lists;
  }
  for (;;) {
    com_ptr<IUnknown> item;
    ULONG fetched = 0;
    if (codecs->Next(1, item.put(), &fetched) != S_OK || fetched != 1) return lists;
    com_ptr<IWICBitmapCodecInfo> codec;
    UINT length = 0;
    if (FAILED(item->QueryInterface(IID_IWICBitmapCodecInfo, codec.put_void())) ||
        FAILED(codec->GetFileExtensions(0, nullptr, &length)) || length == 0 ||
        length > kMaxExtensionsLength) {
      continue;
    }
    std::wstring list(length, L'\0');
    if (FAILED(codec->GetFileExtensions(length, list.data(), &length))) continue;
    list.resize(std::char_traits<wchar_t>::length(list.c_str()));  // up to its terminator
    lists.push_back(std::move(list));
  }
}

PixelSize PictureDecoder::DecodeSize(const OpenedPicture& picture,
                                     PixelSize target) const noexcept {
  com_ptr<IWICBitmapSourceTransform> transform;
  if (FAILED(picture.frame->QueryInterface(kIidBitmapSourceTransform, transform.put_void()))) {
    return picture.stored;  // Wine's codecs: full size, then filtered down
  }
  IWICBitmapSourceTransform* const codec = transform.get();
  try {
    return DecodeTimeSize(picture.stored, target, [codec](PixelSize wanted) {
      // Only a size the codec makes itself: anything else the scaler would
      // interpolate on its own.
      const auto width = static_cast<UINT>(wanted.width);
      const auto height = static_cast<UINT>(wanted.height);
      UINT w = width;
      UINT h = height;
      const HRESULT result = codec->GetClosestSize(&w, &h);
      return SUCCEEDED(result) && w == width && h == height;
    });
  } catch (...) {
    return picture.stored;
  }
}

bool PictureDecoder::DecodeInto(const OpenedPicture& picture, const SurfaceView& target) const {
  if (target.pixels == nullptr || target.width <= 0 || target.height <= 0) return false;
  // Resampled as the file stores the picture, into the target's size turned
  // back, then turned upright.
  SurfaceView stored = target;
  std::vector<std::uint32_t> storedPixels;
  if (picture.orientation != Orientation::Upright) {
    const PixelSize size = UprightSize({target.width, target.height}, picture.orientation);
    storedPixels.resize(static_cast<std::size_t>(size.width) *
                        static_cast<std::size_t>(size.height));
    stored = {storedPixels.data(), size.width, size.height};
  }
  if (!DecodeStored(picture, stored)) return false;
  if (picture.orientation != Orientation::Upright) TurnUpright(stored, picture.orientation, target);
  return true;
}

bool PictureDecoder::DecodeStored(const OpenedPicture& picture, const SurfaceView& target) const {
  const PixelSize decoded = DecodeSize(picture, {target.width, target.height});
  const auto bytes = SurfaceBytes(decoded.width, decoded.height);
  if (!bytes || *bytes > kMaxDecodeBytes) return false;

  com_ptr<IWICBitmapSource> source;
  if (FAILED(picture.frame->QueryInterface(IID_IWICBitmapSource, source.put_void()))) return false;
  if (decoded != picture.stored) {
    com_ptr<IWICBitmapScaler> scaler;
    if (FAILED(factory_->CreateBitmapScaler(scaler.put())) ||
        FAILED(scaler->Initialize(source.get(), static_cast<UINT>(decoded.width),
                                  static_cast<UINT>(decoded.height),
                                  WICBitmapInterpolationModeFant)) ||
        FAILED(scaler->QueryInterface(IID_IWICBitmapSource, source.put_void()))) {
      return false;
    }
  }
  com_ptr<IWICFormatConverter> converter;
  if (FAILED(factory_->CreateFormatConverter(converter.put())) ||
      FAILED(converter->Initialize(source.get(), GUID_WICPixelFormat32bppBGR,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom))) {
    return false;
  }

  // Band after band from the top, as the codec decodes them; at the
  // target's own size the bands are the target's rows.
  BandResampler resampler(decoded, target);
  SurfaceView band = resampler.Band();
  if (band.pixels == nullptr) return false;
  for (; band.pixels != nullptr; band = resampler.Band()) {
    const WICRect rows{0, resampler.BandTop(), band.width, band.height};
    const auto stride = static_cast<UINT>(band.width) * 4u;
    if (FAILED(converter->CopyPixels(&rows, stride, stride * static_cast<UINT>(band.height),
                                     reinterpret_cast<BYTE*>(band.pixels))) ||
        !resampler.Take()) {
      return false;
    }
  }
  return true;
}

}  // namespace ruzir::win32

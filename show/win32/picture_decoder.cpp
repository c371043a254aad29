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

unsigned CeilShift(unsigned value, unsigned shift) { return (value + (1u << shift) - 1) >> shift; }

}  // namespace

std::optional<PictureDecoder> PictureDecoder::Create() noexcept {
  PictureDecoder decoder;
  if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, decoder.factory_.put_void()))) {
    return std::nullopt;
  }
  return decoder;
}

std::optional<OpenedPicture> PictureDecoder::Open(const std::wstring& file) const noexcept {
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

  com_ptr<IWICBitmapDecoder> decoder;
  UINT width = 0;
  UINT height = 0;
  if (FAILED(factory_->CreateDecoderFromFileHandle(reinterpret_cast<ULONG_PTR>(handle), nullptr,
                                                   WICDecodeMetadataCacheOnDemand,
                                                   decoder.put())) ||
      FAILED(decoder->GetFrame(0, picture.frame.put())) ||
      FAILED(picture.frame->GetSize(&width, &height)) || width == 0 || height == 0 ||
      width > 0x7FFFFFFFu || height > 0x7FFFFFFFu) {
    return std::nullopt;
  }
  picture.size = {static_cast<int>(width), static_cast<int>(height)};
  return picture;
}

PixelSize PictureDecoder::DecodeSize(const OpenedPicture& picture,
                                     PixelSize target) const noexcept {
  com_ptr<IWICBitmapSourceTransform> transform;
  if (FAILED(picture.frame->QueryInterface(kIidBitmapSourceTransform, transform.put_void()))) {
    return picture.size;
  }
  const auto width = static_cast<unsigned>(picture.size.width);
  const auto height = static_cast<unsigned>(picture.size.height);
  for (unsigned shift = 3; shift >= 1; --shift) {
    UINT w = CeilShift(width, shift);
    UINT h = CeilShift(height, shift);
    if (w < static_cast<unsigned>(target.width) || h < static_cast<unsigned>(target.height)) {
      continue;
    }
    const UINT wanted_w = w;
    const UINT wanted_h = h;
    // Only a size the codec makes itself: anything else the scaler would
    // interpolate on its own.
    if (SUCCEEDED(transform->GetClosestSize(&w, &h)) && w == wanted_w && h == wanted_h) {
      return {static_cast<int>(w), static_cast<int>(h)};
    }
  }
  return picture.size;
}

bool PictureDecoder::DecodeInto(const OpenedPicture& picture,
                                const SurfaceView& target) const noexcept {
  if (target.pixels == nullptr || target.width <= 0 || target.height <= 0) return false;
  const PixelSize decoded = DecodeSize(picture, {target.width, target.height});
  const auto bytes = SurfaceBytes(decoded.width, decoded.height);
  if (!bytes || *bytes > kMaxDecodeBytes) return false;

  com_ptr<IWICBitmapSource> source;
  picture.frame->QueryInterface(IID_IWICBitmapSource, source.put_void());
  if (decoded != picture.size) {
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

  const auto stride = static_cast<UINT>(decoded.width) * 4u;
  const auto size = static_cast<UINT>(*bytes);
  if (decoded.width == target.width && decoded.height == target.height) {
    if (FAILED(
            converter->CopyPixels(nullptr, stride, size, reinterpret_cast<BYTE*>(target.pixels)))) {
      return false;
    }
    const auto count = static_cast<std::size_t>(target.width) * target.height;
    for (std::size_t i = 0; i < count; ++i) target.pixels[i] &= 0x00FFFFFFu;
    return true;
  }
  std::vector<std::uint32_t> pixels;
  try {
    pixels.resize(*bytes / 4);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (FAILED(
          converter->CopyPixels(nullptr, stride, size, reinterpret_cast<BYTE*>(pixels.data())))) {
    return false;
  }
  return Resample({pixels.data(), decoded.width, decoded.height}, target);
}

}  // namespace ruzir::win32

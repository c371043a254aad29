// Speed of the platform-bound work, run where the show runs (Windows, or
// Wine here): the pacing of transition frames, loading a camera JPEG to the
// size it is shown at, compared with merely decoding it at full size, and
// listing a folder of 30,000 files.
// Each figure is the median of several runs.
#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "show/image_list.h"
#include "show/slide.h"
#include "show/win32/file_search.h"
#include "show/win32/frame_pacer.h"
#include "show/win32/picture_decoder.h"
#include "support/win32/com.h"
#include "support/win32/dib_surface.h"

namespace ruzir::win32 {
namespace {

double MedianMilliseconds(int runs, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

std::wstring TempFolder(const wchar_t* name) {
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH + 1, temp);
  std::wstring folder = std::wstring(temp) + name + L"\\";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

// A photograph-like 24-bit picture: smooth gradients with fine grain, so the
// codec has real work to do.
bool WriteCameraJpeg(IWICImagingFactory* factory, const std::wstring& file, UINT width,
                     UINT height) {
  com_ptr<IWICStream> stream;
  com_ptr<IWICBitmapEncoder> encoder;
  com_ptr<IWICBitmapFrameEncode> frame;
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (FAILED(factory->CreateStream(stream.put())) ||
      FAILED(stream->InitializeFromFilename(file.c_str(), GENERIC_WRITE)) ||
      FAILED(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, encoder.put())) ||
      FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
      FAILED(encoder->CreateNewFrame(frame.put(), nullptr)) || FAILED(frame->Initialize(nullptr)) ||
      FAILED(frame->SetSize(width, height)) || FAILED(frame->SetPixelFormat(&format))) {
    return false;
  }
  const UINT stride = (width * 3 + 3) & ~3u;
  std::vector<BYTE> row(stride);
  std::uint32_t grain = 12345;
  for (UINT y = 0; y < height; ++y) {
    for (UINT x = 0; x < width; ++x) {
      grain = grain * 1664525u + 1013904223u;
      const int noise = static_cast<int>(grain >> 28) - 8;
      row[x * 3 + 0] =
          static_cast<BYTE>(std::clamp(static_cast<int>(x * 255 / width) + noise, 0, 255));
      row[x * 3 + 1] =
          static_cast<BYTE>(std::clamp(static_cast<int>(y * 255 / height) + noise, 0, 255));
      row[x * 3 + 2] = static_cast<BYTE>(std::clamp(128 + noise, 0, 255));
    }
    if (FAILED(frame->WritePixels(1, stride, stride, row.data()))) return false;
  }
  return SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

int Run() {
  const com_apartment apartment;
  com_ptr<IWICImagingFactory> factory;
  if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, factory.put_void()))) {
    std::puts("no imaging component");
    return 1;
  }
  // The pacing of transition frames: 120 frames are 2 s at 60 Hz.
  FramePacer pacer;
  pacer.Start();
  const double pacedMs = MedianMilliseconds(1, [&] {
    for (int i = 0; i < 120; ++i) pacer.WaitForNextFrame();
  });
  std::printf("120 paced frames: %.0f ms (%.2f ms a frame)\n", pacedMs, pacedMs / 120);

  const auto decoder = PictureDecoder::Create();
  const std::wstring folder = TempFolder(L"ruzir-bench");
  const std::wstring camera = folder + L"camera-6000x4000.jpg";
  if (!WriteCameraJpeg(factory.get(), camera, 6000, 4000)) {
    std::puts("cannot write the test JPEG");
    return 1;
  }

  // A 1920 x 1080 screen at 96 DPI: the slide is 648 x 432.
  const PixelSize shown = SlidePixelSize({6000, 4000}, 1080, {});
  auto target = DibSurface::Create(shown.width, shown.height);
  bool loaded = true;
  const double loadMs = MedianMilliseconds(5, [&] {
    const auto opened = decoder->Open(camera);
    loaded = loaded && opened && decoder->DecodeInto(*opened, target->view());
  });
  std::vector<std::uint32_t> full(6000u * 4000u);
  const double decodeMs = MedianMilliseconds(5, [&] {
    com_ptr<IWICBitmapDecoder> file;
    com_ptr<IWICBitmapFrameDecode> frame;
    com_ptr<IWICFormatConverter> converter;
    factory->CreateDecoderFromFilename(camera.c_str(), nullptr, GENERIC_READ,
                                       WICDecodeMetadataCacheOnDemand, file.put());
    file->GetFrame(0, frame.put());
    factory->CreateFormatConverter(converter.put());
    converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                          nullptr, 0.0, WICBitmapPaletteTypeCustom);
    converter->CopyPixels(nullptr, 6000 * 4, 6000u * 4000u * 4u,
                          reinterpret_cast<BYTE*>(full.data()));
  });
  std::printf("load 6000x4000 JPEG to %dx%d: %.1f ms%s\n", shown.width, shown.height, loadMs,
              loaded ? "" : " (FAILED)");
  std::printf("decode it at full size only: %.1f ms\n", decodeMs);
  std::printf("load / full decode: %.2f\n", loadMs / decodeMs);
  ::DeleteFileW(camera.c_str());

  const std::wstring many = TempFolder(L"ruzir-bench-30000");
  for (int i = 0; i < 30000; ++i) {
    const std::wstring file = many + L"IMG_" + std::to_wstring(10000 + i) + L".jpg";
    const HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
  }
  FileSearch search;
  int count = 0;
  const double listMs =
      MedianMilliseconds(3, [&] { count = BuildImageList(many, search).Count(); });
  std::printf("BuildImageList, folder of 30000 files: %.1f ms (%d listed)\n", listMs, count);
  for (int i = 0; i < 30000; ++i) {
    ::DeleteFileW((many + L"IMG_" + std::to_wstring(10000 + i) + L".jpg").c_str());
  }
  ::RemoveDirectoryW(many.c_str());
  ::RemoveDirectoryW(folder.c_str());
  return loaded ? 0 : 1;
}

}  // namespace
}  // namespace ruzir::win32

int main() { return ruzir::win32::Run(); }

#include "tests/e2e/pictures.h"

#include <wincodec.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "support/win32/com.h"
#include "support/win32/dib_surface.h"
#include "support/win32/handles.h"
#include "support/win32/long_path.h"
#include "tests/e2e/driver.h"

namespace ruzir::e2e {
namespace {

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(what);
}

void WriteFile(const std::wstring& file, const void* data, std::size_t size) {
  const win32::unique_handle handle(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr,
                                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  Check(handle.get() != INVALID_HANDLE_VALUE, "cannot create a test picture");
  DWORD written = 0;
  Check(size == 0 || ::WriteFile(handle.get(), data, static_cast<DWORD>(size), &written, nullptr),
        "cannot write a test picture");
}

// Rows of 24-bit BGR pixels, each padded to 4 bytes as BMP wants them; the
// right half (from width / 2) in `rightHalf`.
std::vector<std::uint8_t> PictureRows(int width, int height, COLORREF left, COLORREF rightHalf,
                                      UINT* stride) {
  *stride = static_cast<UINT>((width * 3 + 3) & ~3);
  std::vector<std::uint8_t> rows(static_cast<std::size_t>(*stride) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const COLORREF colour = x < width / 2 ? left : rightHalf;
      std::uint8_t* p = &rows[static_cast<std::size_t>(y) * *stride + x * 3];
      p[0] = GetBValue(colour);
      p[1] = GetGValue(colour);
      p[2] = GetRValue(colour);
    }
  }
  return rows;
}

}  // namespace

PictureFolder::PictureFolder(std::size_t minimumLength) {
  static int serial = 0;
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH + 1, temp);
  path_ = std::wstring(temp) + L"ruzir-e2e-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
          std::to_wstring(++serial) + L"\\";
  for (;;) {
    Check(::CreateDirectoryW(At(L"").c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS,
          "cannot create the picture folder");
    if (path_.size() >= minimumLength) break;
    // Padded with nested folders: one name may not exceed 255 characters.
    levels_.push_back(path_);
    path_ += std::wstring(100, L'x') + L"\\";
  }
}

PictureFolder::~PictureFolder() {
  WIN32_FIND_DATAW data{};
  const win32::unique_hfind search(::FindFirstFileW(At(L"*").c_str(), &data));
  if (search) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = At(name);
      ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        ::RemoveDirectoryW(full.c_str());
      } else {
        ::DeleteFileW(full.c_str());
      }
    } while (::FindNextFileW(search.get(), &data));
  }
  ::RemoveDirectoryW(At(L"").c_str());
  for (auto level = levels_.rbegin(); level != levels_.rend(); ++level) {
    ::RemoveDirectoryW(win32::UsablePath(*level).c_str());
  }
}

std::wstring PictureFolder::At(const std::wstring& name) const {
  return win32::UsablePath(path_ + name);
}

void PictureFolder::AddBmp(const std::wstring& name, int width, int height, COLORREF colour) const {
  AddBmp(name, width, height, colour, colour);
}

void PictureFolder::AddBmp(const std::wstring& name, int width, int height, COLORREF colour,
                           COLORREF rightHalf) const {
  UINT stride = 0;
  const std::vector<std::uint8_t> rows = PictureRows(width, height, colour, rightHalf, &stride);
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = height;  // bottom-up; the pictures read the same either way
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = static_cast<DWORD>(file.bfOffBits + rows.size());
  std::vector<std::uint8_t> bytes(file.bfSize);
  std::memcpy(bytes.data(), &file, sizeof(file));
  std::memcpy(bytes.data() + sizeof(file), &info, sizeof(info));
  std::memcpy(bytes.data() + file.bfOffBits, rows.data(), rows.size());
  AddFile(name, bytes);
}

void PictureFolder::AddJpeg(const std::wstring& name, int width, int height,
                            COLORREF colour) const {
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // once per thread is enough
  win32::com_ptr<IWICImagingFactory> factory;
  Check(SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IWICImagingFactory, factory.put_void())),
        "no imaging component");
  win32::com_ptr<IWICStream> stream;
  win32::com_ptr<IWICBitmapEncoder> encoder;
  win32::com_ptr<IWICBitmapFrameEncode> frame;
  const std::wstring file = At(name);
  Check(SUCCEEDED(factory->CreateStream(stream.put())) &&
            SUCCEEDED(stream->InitializeFromFilename(file.c_str(), GENERIC_WRITE)) &&
            SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, encoder.put())) &&
            SUCCEEDED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) &&
            SUCCEEDED(encoder->CreateNewFrame(frame.put(), nullptr)) &&
            SUCCEEDED(frame->Initialize(nullptr)) &&
            SUCCEEDED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))),
        "cannot start a JPEG");
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  Check(
      SUCCEEDED(frame->SetPixelFormat(&format)) && IsEqualGUID(format, GUID_WICPixelFormat24bppBGR),
      "the JPEG encoder refuses 24-bit BGR");
  UINT stride = 0;
  std::vector<std::uint8_t> rows = PictureRows(width, height, colour, colour, &stride);
  Check(SUCCEEDED(frame->WritePixels(static_cast<UINT>(height), stride,
                                     static_cast<UINT>(rows.size()), rows.data())) &&
            SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit()),
        "cannot write a JPEG");
}

void PictureFolder::AddFile(const std::wstring& name,
                            const std::vector<std::uint8_t>& bytes) const {
  WriteFile(At(name), bytes.data(), bytes.size());
}

void PictureFolder::ClaimSize(const std::wstring& name, int width, int height) const {
  std::vector<std::uint8_t> bytes;
  {
    const win32::unique_handle file(::CreateFileW((path_ + name).c_str(), GENERIC_READ, 0, nullptr,
                                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    bytes.resize(::GetFileSize(file.get(), nullptr));
    DWORD read = 0;
    Check(::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr),
          "cannot read a test picture");
  }
  if (bytes.at(0) == 'B') {
    std::memcpy(&bytes.at(18), &width, 4);
    std::memcpy(&bytes.at(22), &height, 4);
  } else {
    // The segments after SOI, up to the frame header.
    std::size_t at = 2;
    while (bytes.at(at + 1) != 0xC0) at += 2 + (bytes.at(at + 2) << 8 | bytes.at(at + 3));
    const std::uint8_t size[] = {std::uint8_t(height >> 8), std::uint8_t(height),
                                 std::uint8_t(width >> 8), std::uint8_t(width)};
    std::memcpy(&bytes.at(at + 5), size, 4);
  }
  AddFile(name, bytes);
}

void PictureFolder::AddFolder(const std::wstring& name) const {
  Check(::CreateDirectoryW(At(name).c_str(), nullptr), "cannot create a subfolder");
}

void PictureFolder::SetAttributes(const std::wstring& name, DWORD attributes) const {
  Check(::SetFileAttributesW(At(name).c_str(), attributes), "cannot set attributes");
}

void UsePictureFolder(const PictureFolder& folder) {
  WriteString(L"Settings", L"Path", folder.path());
}

void SetShortSetting(const wchar_t* name, int value) {
  WriteBinary(
      L"Settings", name,
      {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>((value >> 8) & 0xFF)});
}

Screenshot::Screenshot()
    : width_(::GetSystemMetrics(SM_CXSCREEN)), height_(::GetSystemMetrics(SM_CYSCREEN)) {
  auto surface = win32::DibSurface::Create(width_, height_);
  Check(surface.has_value(), "no memory for a screenshot");
  const auto screen = win32::GetScreenDc();
  ::BitBlt(surface->dc(), 0, 0, width_, height_, screen.get(), 0, 0, SRCCOPY);
  ::GdiFlush();
  const SurfaceView view = surface->view();
  pixels_.assign(view.pixels, view.pixels + static_cast<std::size_t>(width_) * height_);
}

COLORREF Screenshot::At(int x, int y) const {
  const std::uint32_t p = pixels_[static_cast<std::size_t>(y) * width_ + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool Screenshot::Matches(int x, int y, COLORREF colour, int tolerance) const {
  const COLORREF p = At(x, y);
  return std::abs(GetRValue(p) - GetRValue(colour)) <= tolerance &&
         std::abs(GetGValue(p) - GetGValue(colour)) <= tolerance &&
         std::abs(GetBValue(p) - GetBValue(colour)) <= tolerance;
}

int Screenshot::Count(COLORREF colour, int tolerance) const {
  int count = 0;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) count += Matches(x, y, colour, tolerance) ? 1 : 0;
  }
  return count;
}

std::optional<RECT> Screenshot::Bounds(COLORREF colour, int tolerance) const {
  std::optional<RECT> bounds;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      if (!Matches(x, y, colour, tolerance)) continue;
      if (!bounds) bounds = RECT{x, y, x + 1, y + 1};
      bounds->left = std::min<LONG>(bounds->left, x);
      bounds->right = std::max<LONG>(bounds->right, x + 1);
      bounds->bottom = y + 1;
    }
  }
  return bounds;
}

}  // namespace ruzir::e2e

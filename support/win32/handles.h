// Move-only owners of Win32 handles, one small type per kind of handle, so
// that every handle the program opens is released on every path.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <utility>

namespace ruzir::win32 {

// Owns a handle released by one call of `Close`; the handle whose bits are
// `InvalidBits` marks "none" (0, or -1 for the kinds whose "none" is
// INVALID_HANDLE_VALUE).
template <typename Handle, auto Close, std::intptr_t InvalidBits = 0>
class unique_any {
 public:
  unique_any() noexcept = default;
  explicit unique_any(Handle handle) noexcept : handle_(handle) {}
  unique_any(unique_any&& other) noexcept : handle_(other.release()) {}
  unique_any& operator=(unique_any&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  unique_any(const unique_any&) = delete;
  unique_any& operator=(const unique_any&) = delete;
  ~unique_any() { reset(); }

  Handle get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != Invalid(); }
  Handle release() noexcept { return std::exchange(handle_, Invalid()); }
  void reset(Handle handle = Invalid()) noexcept {
    const Handle old = std::exchange(handle_, handle);
    if (old != Invalid()) Close(old);
  }
  // For out-parameters: releases what is held and hands out the slot.
  Handle* put() noexcept {
    reset();
    return &handle_;
  }

 private:
  static Handle Invalid() noexcept { return reinterpret_cast<Handle>(InvalidBits); }
  Handle handle_ = Invalid();
};

namespace detail {
inline void CloseKey(HKEY key) noexcept { ::RegCloseKey(key); }
inline void CloseKernelHandle(HANDLE handle) noexcept { ::CloseHandle(handle); }
inline void DeleteMemoryDc(HDC dc) noexcept { ::DeleteDC(dc); }
inline void DeleteGdiObject(HGDIOBJ object) noexcept { ::DeleteObject(object); }
inline void DeleteBrush(HBRUSH brush) noexcept { ::DeleteObject(brush); }
inline void DestroyIconHandle(HICON icon) noexcept { ::DestroyIcon(icon); }
inline void CloseFind(HANDLE search) noexcept { ::FindClose(search); }
inline void FreeTaskMemory(void* memory) noexcept { ::CoTaskMemFree(memory); }
inline void ReleaseHeldMutex(HANDLE mutex) noexcept { ::ReleaseMutex(mutex); }
inline void DestroyWindowHandle(HWND window) noexcept { ::DestroyWindow(window); }
}  // namespace detail

using unique_hkey = unique_any<HKEY, detail::CloseKey>;
using unique_handle = unique_any<HANDLE, detail::CloseKernelHandle>;
using unique_hdc = unique_any<HDC, detail::DeleteMemoryDc>;  // from CreateCompatibleDC
using unique_hbitmap = unique_any<HGDIOBJ, detail::DeleteGdiObject>;
using unique_hbrush = unique_any<HBRUSH, detail::DeleteBrush>;
using unique_hicon = unique_any<HICON, detail::DestroyIconHandle>;  // from LoadImage
// A directory search from FindFirstFileEx; its "none" is INVALID_HANDLE_VALUE.
using unique_hfind = unique_any<HANDLE, detail::CloseFind, -1>;
// Memory the shell hands out (an item list from the folder browser).
using unique_cotaskmem = unique_any<void*, detail::FreeTaskMemory>;
// Ownership of a mutex this thread has acquired (not of its handle).
using unique_mutex_hold = unique_any<HANDLE, detail::ReleaseHeldMutex>;
// A window with no object behind it (the tests' stand-in for a host's).
using unique_hwnd = unique_any<HWND, detail::DestroyWindowHandle>;

// A device context from GetDC / GetWindowDC, given back with ReleaseDC.
class unique_hdc_window {
 public:
  unique_hdc_window(HWND window, HDC dc) noexcept : window_(window), dc_(dc) {}
  unique_hdc_window(unique_hdc_window&& other) noexcept
      : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
  unique_hdc_window& operator=(unique_hdc_window&&) = delete;
  unique_hdc_window(const unique_hdc_window&) = delete;
  ~unique_hdc_window() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  HDC get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

inline unique_hdc_window GetWindowDc(HWND window) noexcept {
  return {window, ::GetWindowDC(window)};
}
inline unique_hdc_window GetClientDc(HWND window) noexcept { return {window, ::GetDC(window)}; }
inline unique_hdc_window GetScreenDc() noexcept { return GetClientDc(nullptr); }

// The paint context of one WM_PAINT, ended with EndPaint.
class unique_hdc_paint {
 public:
  explicit unique_hdc_paint(HWND window) noexcept : window_(window) {
    ::BeginPaint(window_, &paint_);
  }
  unique_hdc_paint(const unique_hdc_paint&) = delete;
  unique_hdc_paint& operator=(const unique_hdc_paint&) = delete;
  ~unique_hdc_paint() { ::EndPaint(window_, &paint_); }
  HDC get() const noexcept { return paint_.hdc; }
  const RECT& dirty() const noexcept { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
};

// Selects an object into a device context and selects the previous one back
// when it goes, so that the object can be deleted afterwards.
class unique_select {
 public:
  unique_select() noexcept = default;
  unique_select(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(::SelectObject(dc, object)) {}
  unique_select(unique_select&& other) noexcept
      : dc_(std::exchange(other.dc_, nullptr)), old_(std::exchange(other.old_, nullptr)) {}
  unique_select& operator=(unique_select&& other) noexcept {
    if (this != &other) {
      restore();
      dc_ = std::exchange(other.dc_, nullptr);
      old_ = std::exchange(other.old_, nullptr);
    }
    return *this;
  }
  unique_select(const unique_select&) = delete;
  unique_select& operator=(const unique_select&) = delete;
  ~unique_select() { restore(); }

 private:
  void restore() noexcept {
    if (dc_ && old_) ::SelectObject(dc_, old_);
    dc_ = nullptr;
    old_ = nullptr;
  }
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

}  // namespace ruzir::win32

// COM for the picture codecs: an owning interface pointer and a thread's
// apartment.
#pragma once

#include <objbase.h>

#include <utility>

namespace ruzir::win32 {

// Owns one reference to a COM interface.
template <typename T>
class com_ptr {
 public:
  com_ptr() noexcept = default;
  com_ptr(com_ptr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  com_ptr& operator=(com_ptr&& other) noexcept {
    if (this != &other) {
      reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  com_ptr(const com_ptr&) = delete;
  com_ptr& operator=(const com_ptr&) = delete;
  ~com_ptr() { reset(); }

  T* get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }
  void reset() noexcept {
    if (p_) std::exchange(p_, nullptr)->Release();
  }
  // For out-parameters: releases what is held and hands out the slot.
  T** put() noexcept {
    reset();
    return &p_;
  }
  void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

 private:
  T* p_ = nullptr;
};

// The thread's apartment, for as long as this lives: single-threaded for a
// thread with windows (the shell's dialogs need it), the multithreaded one
// for a worker without a message loop.
class com_apartment {
 public:
  explicit com_apartment(DWORD model = COINIT_APARTMENTTHREADED) noexcept
      : initialized_(SUCCEEDED(::CoInitializeEx(nullptr, model | COINIT_DISABLE_OLE1DDE))) {}
  com_apartment(const com_apartment&) = delete;
  com_apartment& operator=(const com_apartment&) = delete;
  ~com_apartment() {
    if (initialized_) ::CoUninitialize();
  }

 private:
  bool initialized_;
};

}  // namespace ruzir::win32

// The one window wrapper: the object behind a window is passed to
// CreateWindowExW, stored in the window at WM_NCCREATE, and every later
// message goes to its HandleMessage. The window procedure is noexcept: no
// exception may unwind through the system's frames, so handlers do not throw.
#pragma once

#include <windows.h>

namespace ruzir::win32 {

class WindowBase {
 public:
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  HWND hwnd() const noexcept { return hwnd_; }

 protected:
  WindowBase() = default;
  // Destroying the object destroys a window that is still there, after
  // unhooking it, so no message reaches a half-destroyed object.
  virtual ~WindowBase();

  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept = 0;

  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) const noexcept {
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
  }

  // Registers the class once per process with this wrapper's procedure.
  static bool RegisterWindowClass(HINSTANCE instance, const wchar_t* className,
                                  HCURSOR cursor) noexcept;

  // Creates the window with `this` as its object; false on failure.
  bool CreateHwnd(HINSTANCE instance, const wchar_t* className, DWORD exStyle, DWORD style, int x,
                  int y, int width, int height, HWND parent) noexcept;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  HWND hwnd_ = nullptr;
};

}  // namespace ruzir::win32

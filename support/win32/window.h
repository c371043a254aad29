// The one window wrapper: the object behind a window is passed to
// CreateWindowExW, stored in the window at WM_NCCREATE, and every later
// message goes to its HandleMessage. Its counterpart for a modal dialog from
// a template passes the object to DialogBoxParamW and stores it at
// WM_INITDIALOG. The procedures are noexcept: no exception may unwind
// through the system's frames, so handlers do not throw.
#pragma once

#include <windows.h>

#include <string>

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

class DialogBase {
 public:
  DialogBase(const DialogBase&) = delete;
  DialogBase& operator=(const DialogBase&) = delete;

  HWND hwnd() const noexcept { return hwnd_; }

 protected:
  DialogBase() = default;
  ~DialogBase() = default;

  // TRUE for a message handled, as a dialog procedure answers.
  virtual INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept = 0;

  // Shows the dialog of template `templateId` and returns when it has closed.
  void RunModal(HINSTANCE instance, int templateId, HWND owner) noexcept;

  HWND Item(int id) const noexcept { return ::GetDlgItem(hwnd_, id); }
  std::wstring ItemText(int id) const;
  void SetItemText(int id, const std::wstring& text) noexcept;

 private:
  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam,
                                    LPARAM lParam) noexcept;
  HWND hwnd_ = nullptr;
};

}  // namespace ruzir::win32

#include "support/win32/window.h"

namespace ruzir::win32 {

WindowBase::~WindowBase() {
  if (hwnd_) {
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
  }
}

bool WindowBase::RegisterWindowClass(HINSTANCE instance, const wchar_t* className,
                                     HCURSOR cursor) noexcept {
  WNDCLASSEXW wc{};
  if (::GetClassInfoExW(instance, className, &wc)) return true;
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &WindowBase::Procedure;
  wc.hInstance = instance;
  wc.hCursor = cursor;
  wc.lpszClassName = className;
  return ::RegisterClassExW(&wc) != 0;
}

bool WindowBase::CreateHwnd(HINSTANCE instance, const wchar_t* className, DWORD exStyle,
                            DWORD style, int x, int y, int width, int height,
                            HWND parent) noexcept {
  return ::CreateWindowExW(exStyle, className, L"", style, x, y, width, height, parent, nullptr,
                           instance, this) != nullptr;
}

LRESULT CALLBACK WindowBase::Procedure(HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<WindowBase*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);

  const LRESULT result = self->HandleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

void DialogBase::RunModal(HINSTANCE instance, int templateId, HWND owner) noexcept {
  ::DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, &DialogBase::Procedure,
                    reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK DialogBase::Procedure(HWND dialog, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept {
  if (message == WM_INITDIALOG) {
    reinterpret_cast<DialogBase*>(lParam)->hwnd_ = dialog;
    ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
  }
  auto* self = reinterpret_cast<DialogBase*>(::GetWindowLongPtrW(dialog, DWLP_USER));
  if (!self) return FALSE;
  const INT_PTR result = self->HandleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // As for windows: the object no longer names a dialog that has gone.
    ::SetWindowLongPtrW(dialog, DWLP_USER, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

std::wstring DialogBase::ItemText(int id) const {
  const HWND item = Item(id);
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(item)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(::GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
  return text;
}

void DialogBase::SetItemText(int id, const std::wstring& text) noexcept {
  ::SetWindowTextW(Item(id), text.c_str());
}

}  // namespace ruzir::win32

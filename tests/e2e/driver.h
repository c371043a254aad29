// The end-to-end test driver: starts ruzir.scr as the screen-saver host does,
// finds its windows, reads their texts and the screen, sends keys and mouse
// input through the system's queue, reads and writes the program's registry
// keys, and makes test pictures. Every wait polls for a condition, so a busy
// machine makes a run slower, never wrong.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "support/win32/dib_surface.h"
#include "support/win32/handles.h"
#include "support/win32/system_info.h"

namespace ruzir::e2e {

using namespace std::chrono_literals;

// Polls `probe` every `every` until it yields a value that tests true, or `timeout` ends.
// The default is long enough for a cold Wine start on a machine shared by others.
template <typename Probe>
auto WaitFor(Probe probe, std::chrono::milliseconds timeout = 20s,
             std::chrono::milliseconds every = 20ms) -> decltype(probe()) {
  for (const auto end = std::chrono::steady_clock::now() + timeout;;) {
    if (auto found = probe()) return found;
    if (std::chrono::steady_clock::now() >= end) return {};
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(every.count()), QS_ALLINPUT);
  }
}

inline std::wstring Text(HWND window, int id = 0) {
  wchar_t text[1024] = {};
  ::SendMessageTimeoutW(id ? ::GetDlgItem(window, id) : window, WM_GETTEXT, 1024,
                        reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
  return text;
}
inline RECT RectOf(HWND window, int id = 0) {
  RECT r{};
  ::GetWindowRect(id ? ::GetDlgItem(window, id) : window, &r);
  return r;
}
inline bool Same(const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != FALSE; }
inline HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}
inline bool IsMessageBox(HWND window) { return ::GetDlgItem(window, 0xFFFF) != nullptr; }

// A visible window of the class that `accept` takes: a child of `parent`, or
// top-level when that is null, of the process `pid` unless that is 0.
inline HWND Find(const wchar_t* className, HWND parent, DWORD pid, bool (*accept)(HWND)) {
  for (HWND w = nullptr; (w = ::FindWindowExW(parent, w, className, nullptr)) != nullptr;) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(w, &owner);
    if ((!pid || owner == pid) && ::IsWindowVisible(w) && (!accept || accept(w))) return w;
  }
  return nullptr;
}

inline std::wstring ProgramFolder() { return FolderOfModule(win32::ModulePath()); }

// A process started with the command `line`; none when it cannot start.
inline win32::unique_handle Start(std::wstring line, DWORD* id = nullptr) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
    return {};
  }
  const win32::unique_handle thread(info.hThread);
  if (id) *id = info.dwProcessId;
  return win32::unique_handle(info.hProcess);
}

// ruzir.scr, beside this program, started with `arguments`; killed if it
// still runs when the test is done with it.
class Program {
 public:
  explicit Program(const std::wstring& arguments)
      : process_(Start(L"\"" + ProgramFolder() + L"ruzir.scr\" " + arguments, &id_)) {
    EXPECT_TRUE(process_) << "cannot start ruzir.scr";
  }
  ~Program() {
    if (Running()) ::TerminateProcess(process_.get(), 99);
    ::WaitForSingleObject(process_.get(), 5000);
  }
  bool Running(DWORD waitMs = 0) const {
    return ::WaitForSingleObject(process_.get(), waitMs) == WAIT_TIMEOUT;
  }
  // The exit code once it has ended; nullopt while it runs on.
  std::optional<DWORD> Exit() const {
    DWORD code = 0;
    if (!WaitFor([&] { return !Running(); })) return std::nullopt;
    ::GetExitCodeProcess(process_.get(), &code);
    return code;
  }
  HWND Window(const wchar_t* className, bool (*accept)(HWND) = nullptr) const {
    return WaitFor([&] { return Find(className, nullptr, id_, accept); });
  }
  HWND Dialog() const {
    return Window(L"#32770", [](HWND w) { return Text(w) == L"スクリーンセーバーの設定"; });
  }

 private:
  DWORD id_ = 0;  // before process_, which sets it
  win32::unique_handle process_;
};

// Each key pressed and released: virtual keys, or with KEYEVENTF_UNICODE any
// characters, full-width ones too, for the control with the focus.
inline void Keys(const std::wstring& keys, DWORD unicode = 0) {
  std::vector<INPUT> inputs(keys.size() * 2);
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    inputs[i].type = INPUT_KEYBOARD;
    inputs[i].ki.wVk = static_cast<WORD>(unicode ? 0 : keys[i / 2]);
    inputs[i].ki.wScan = static_cast<WORD>(unicode ? keys[i / 2] : 0);
    inputs[i].ki.dwFlags = unicode | (i % 2 ? KEYEVENTF_KEYUP : 0);
  }
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}
// The mouse moved to (x, y) on any monitor, a button there pressed or
// released as `flags` say.
inline void Mouse(int x, int y, DWORD flags = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;  // absolute: 0 to 65535 across every monitor
  input.mi.dx = ::MulDiv(x, 65535, ::GetSystemMetrics(SM_CXVIRTUALSCREEN) - 1);
  input.mi.dy = ::MulDiv(y, 65535, ::GetSystemMetrics(SM_CYVIRTUALSCREEN) - 1);
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
  ::SendInput(1, &input, sizeof(input));
}
// The mouse moved by (dx, dy) from where it is, as a hand moves it.
inline void Nudge(int dx, int dy) {
  INPUT input{INPUT_MOUSE, {{dx, dy, 0, MOUSEEVENTF_MOVE, 0, 0}}};
  ::SendInput(1, &input, sizeof(input));
}
// Pressed and released a moment apart, as a hand does: what the program does
// on the press happens while the button is still down.
inline void Click(int x, int y) {
  Mouse(x, y, MOUSEEVENTF_LEFTDOWN);
  ::Sleep(100);
  Mouse(x, y, MOUSEEVENTF_LEFTUP);
}
inline void Click(HWND dialog, int id) {
  const RECT r = RectOf(dialog, id);
  Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}
// A dialog's button clicked as the dialog manager clicks it.
inline void Press(HWND dialog, int id) { ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

using Value = std::pair<DWORD, std::vector<std::uint8_t>>;  // type and bytes
inline Value Short(int n) { return {REG_BINARY, {std::uint8_t(n), std::uint8_t(n >> 8)}}; }
inline Value String(const std::wstring& text) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.c_str());
  return {REG_SZ, {bytes, bytes + (text.size() + 1) * sizeof(wchar_t)}};
}
inline std::wstring KeyPath(const wchar_t* sub) {
  return L"Software\\Zedozud Uravovuv\\Ruzir\\" + std::wstring(sub);
}
inline void DeleteKeys() { ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Zedozud Uravovuv"); }
inline void Store(const wchar_t* name, const Value& value, const wchar_t* sub = L"Settings") {
  ::RegSetKeyValueW(HKEY_CURRENT_USER, KeyPath(sub).c_str(), name, value.first, value.second.data(),
                    static_cast<DWORD>(value.second.size()));
}
inline std::optional<Value> Read(const wchar_t* name, const wchar_t* sub = L"Settings") {
  Value value{0, std::vector<std::uint8_t>(4096)};
  DWORD size = 4096;
  if (::RegGetValueW(HKEY_CURRENT_USER, KeyPath(sub).c_str(), name, RRF_RT_ANY, &value.first,
                     value.second.data(), &size))
    return {};
  value.second.resize(size);
  return value;
}
inline std::optional<Value> RunFlag() { return Read(L"Active", L"Flags"); }
// How many values the key holds; nullopt when it is missing.
inline std::optional<DWORD> ValueCount(const wchar_t* sub = L"Settings") {
  win32::unique_hkey key;
  DWORD count = 0;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath(sub).c_str(), 0, KEY_READ, key.put())) return {};
  ::RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                     nullptr, nullptr, nullptr, nullptr);
  return count;
}
// Each test starts with none of the program's keys and leaves none behind.
class Fresh : public ::testing::Test {
  void SetUp() override { DeleteKeys(); }
  void TearDown() override { DeleteKeys(); }
};

// Every monitor, copied at one instant: a moving picture is seen whole.
// Places are in screen pixels, left of and above the primary too.
struct Shot {
  int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
  int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  int width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
  int height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
  std::vector<COLORREF> pixels;  // top-down, each 0x00RRGGBB

  Shot() {
    const auto dib = win32::DibSurface::Create(width, height);
    if (!dib) return;
    ::BitBlt(dib->dc(), 0, 0, width, height, win32::GetScreenDc().get(), left, top, SRCCOPY);
    ::GdiFlush();  // the blit is done before its bits are read
    pixels.assign(dib->view().pixels, dib->view().pixels + std::size_t(width) * height);
  }
  COLORREF At(int x, int y) const {
    const COLORREF p = pixels.at(std::size_t(y - top) * width + std::size_t(x - left));
    return RGB(GetBValue(p), GetGValue(p), GetRValue(p));
  }
  // How many pixels of `area` (all by default; what the shot holds of it)
  // are (or, with `same` false, are not) of `colour`, and the smallest
  // rectangle holding them.
  std::pair<int, RECT> Find(COLORREF colour, bool same = true, RECT area = {}) const {
    const RECT all{left, top, left + width, top + height};
    if (::IsRectEmpty(&area)) area = all;
    ::IntersectRect(&area, &area, &all);
    int count = 0;
    RECT box{area.right, area.bottom, area.left, area.top};
    for (LONG y = area.top; y < area.bottom; ++y) {
      for (LONG x = area.left; x < area.right; ++x) {
        if ((At(x, y) == colour) != same) continue;
        ++count;
        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), y + 1};
      }
    }
    return {count, box};
  }
};
inline int Area(const RECT& r) { return (r.right - r.left) * (r.bottom - r.top); }

// A red 24-bit BMP whose header may claim another size.
inline std::vector<std::uint8_t> Bmp(int width, int height, int claimedSize = 0) {
  const int stride = (width * 3 + 3) & ~3;
  const std::int32_t w = claimedSize ? claimedSize : width, h = claimedSize ? claimedSize : height;
  std::vector<std::uint8_t> bytes(54 + std::size_t(stride) * height, 0);
  // The file's size, where the pixels start, the info header's size, the
  // width and height, and 1 plane of 24 bits.
  const std::int32_t header[] = {std::int32_t(bytes.size()), 0, 54, 40, w, h, 24 << 16 | 1};
  bytes[0] = 'B', bytes[1] = 'M';
  std::memcpy(&bytes[2], header, sizeof(header));
  for (int i = 0; i < width * height; ++i)  // blue, green, red
    bytes[54 + i / width * stride + i % width * 3 + 2] = 0xFF;
  return bytes;
}

// A fresh folder under the temporary folder, deleted with what it holds.
// `padding` lengthens its name: 235 makes the path longer than the classic
// limit of 260 characters.
struct Folder {
  explicit Folder(std::size_t padding = 0) {
    static int serial = 0;
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    path = temp + (L"ruzir-e2e-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                   std::to_wstring(++serial) + std::wstring(padding, L'x') + L"\\");
    ::CreateDirectoryW(At(L"").c_str(), nullptr);
  }
  ~Folder() {
    for (const auto& name : names) ::DeleteFileW(At(name).c_str());
    ::RemoveDirectoryW(At(L"").c_str());
  }
  // The extended-length form, which the file calls take at any length.
  std::wstring At(const std::wstring& name) const { return L"\\\\?\\" + path + name; }

  void Add(const std::wstring& name, const std::vector<std::uint8_t>& bytes,
           DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    names.push_back(name);
    const win32::unique_handle file(::CreateFileW(At(name).c_str(), GENERIC_WRITE, 0, nullptr,
                                                  CREATE_ALWAYS, attributes, nullptr));
    DWORD written = 0;
    ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
  void Copy(const std::wstring& file, const std::wstring& name) {
    names.push_back(name);
    ::CopyFileW(file.c_str(), At(name).c_str(), FALSE);
  }

  std::wstring path;
  std::vector<std::wstring> names;  // to delete
};

}  // namespace ruzir::e2e

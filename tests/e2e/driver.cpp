#include "tests/e2e/driver.h"

#include <cwchar>
#include <stdexcept>

#include "support/win32/handles.h"
#include "support/win32/system_info.h"

namespace ruzir::e2e {
namespace {

using Clock = std::chrono::steady_clock;

// Polls `probe` while pumping messages until it yields a value or time is up.
template <typename Probe>
auto PollFor(Millis timeout, Probe probe) -> decltype(probe()) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (auto found = probe()) return found;
    if (Clock::now() >= deadline) return {};
    Pump(25ms);
  }
}

struct WindowSearch {
  DWORD processId;
  const wchar_t* className;
  HWND found;
  bool (*accept)(HWND) = nullptr;  // a further test, if any
};

BOOL CALLBACK MatchTopWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  if (pid == search->processId && ::IsWindowVisible(window) &&
      ClassName(window) == search->className && (!search->accept || search->accept(window))) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK MatchChild(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  if (ClassName(window) == search->className) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

win32::unique_hkey OpenBase(const std::wstring& subKey, REGSAM access) {
  const std::wstring path = subKey.empty() ? kBaseKey : std::wstring(kBaseKey) + L"\\" + subKey;
  win32::unique_hkey key;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, access, key.put()) != ERROR_SUCCESS) {
    key.reset();
  }
  return key;
}

void SendInputs(std::vector<INPUT> inputs) {
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT AbsoluteMouse(int x, int y, DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  // Absolute coordinates run from 0 to 65535 over the primary screen.
  input.mi.dx = MulDiv(x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  return input;
}

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(window, message, wParam, lParam);
}

void RegisterPlainClass(const wchar_t* name, HBRUSH background) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = PlainWindowProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  ::UnregisterClassW(name, wc.hInstance);
  ::RegisterClassExW(&wc);
}

}  // namespace

// --- Program -------------------------------------------------------------------

std::wstring ExecutableFolder() {
  const std::wstring path = win32::ModulePath();
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

Program::Program(const std::wstring& arguments) {
  const std::wstring program = ExecutableFolder() + L"ruzir.scr";
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info_)) {
    throw std::runtime_error("cannot start ruzir.scr");
  }
}

Program::~Program() {
  if (Running()) {
    ::TerminateProcess(info_.hProcess, 99);
    ::WaitForSingleObject(info_.hProcess, 5000);
  }
  ::CloseHandle(info_.hThread);
  ::CloseHandle(info_.hProcess);
}

bool Program::Running() const { return ::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

std::optional<DWORD> Program::WaitForExit(Millis timeout) const {
  const bool ended = PollFor(timeout, [&] { return !Running(); });
  if (!ended) return std::nullopt;
  DWORD code = 0;
  ::GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

HWND Program::WaitForTopWindow(const wchar_t* className, Millis timeout) const {
  return WaitForTopWindow(className, nullptr, timeout);
}

HWND Program::WaitForTopWindow(const wchar_t* className, bool (*accept)(HWND),
                               Millis timeout) const {
  return PollFor(timeout, [&]() -> HWND {
    WindowSearch search{id(), className, nullptr, accept};
    ::EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
  });
}

HWND Program::WaitForMessageBox(Millis timeout) const {
  // A message box's text is its static control 0xFFFF.
  return WaitForTopWindow(
      L"#32770", [](HWND box) { return ::GetDlgItem(box, 0xFFFF) != nullptr; }, timeout);
}

HWND Program::WaitForSettingsDialog(Millis timeout) const {
  return WaitForTopWindow(
      L"#32770", [](HWND dialog) { return WindowText(dialog) == kSettingsCaption; }, timeout);
}

// --- Windows -------------------------------------------------------------------

std::wstring WindowText(HWND window) {
  wchar_t text[1024] = {};
  ::SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
  return text;
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = {};
  ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return name;
}

std::wstring MessageBoxText(HWND box) { return WindowText(::GetDlgItem(box, 0xFFFF)); }

void ClickButton(HWND dialog, int id) { ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool IsChecked(HWND dialog, int id) {
  return ::SendMessageW(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

void ClickControl(HWND dialog, int id) {
  RECT r{};
  ::GetWindowRect(::GetDlgItem(dialog, id), &r);
  ClickMouseAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

HWND FindChild(HWND parent, const wchar_t* className, Millis timeout) {
  return PollFor(timeout, [&]() -> HWND {
    WindowSearch search{0, className, nullptr};
    ::EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
  });
}

COLORREF ScreenPixel(int x, int y) {
  HDC screen = ::GetDC(nullptr);
  const COLORREF pixel = ::GetPixel(screen, x, y);
  ::ReleaseDC(nullptr, screen);
  return pixel;
}

bool CursorShowing() {
  CURSORINFO info{};
  info.cbSize = sizeof(info);
  ::GetCursorInfo(&info);
  return (info.flags & CURSOR_SHOWING) != 0;
}

void Pump(Millis duration) {
  const auto deadline = Clock::now() + duration;
  do {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (Clock::now() < deadline);
}

PreviewHost::PreviewHost(int paneWidth, int paneHeight) {
  RegisterPlainClass(L"RuzirTestHost", ::GetSysColorBrush(COLOR_BTNFACE));
  host_ = ::CreateWindowExW(0, L"RuzirTestHost", L"Preview host", WS_POPUP | WS_VISIBLE, 40, 40,
                            paneWidth + 40, paneHeight + 40, nullptr, nullptr,
                            ::GetModuleHandleW(nullptr), nullptr);
  pane_ = ::CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 20, 20, paneWidth, paneHeight,
                            host_, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  Pump(100ms);
}

PreviewHost::~PreviewHost() {
  if (host_) ::DestroyWindow(host_);
}

void PreviewHost::DestroyPane() {
  ::DestroyWindow(pane_);
  pane_ = nullptr;
}

ColourPatch::ColourPatch(RECT where, COLORREF colour) : brush_(::CreateSolidBrush(colour)) {
  RegisterPlainClass(L"RuzirTestPatch", brush_);
  window_ =
      ::CreateWindowExW(WS_EX_TOPMOST, L"RuzirTestPatch", L"", WS_POPUP | WS_VISIBLE, where.left,
                        where.top, where.right - where.left, where.bottom - where.top, nullptr,
                        nullptr, ::GetModuleHandleW(nullptr), nullptr);
  ::UpdateWindow(window_);
  Pump(300ms);
}

ColourPatch::~ColourPatch() {
  ::DestroyWindow(window_);
  ::DeleteObject(brush_);
}

// --- Input -----------------------------------------------------------------------

void PressKey(WORD virtualKey) {
  INPUT down{};
  down.type = INPUT_KEYBOARD;
  down.ki.wVk = virtualKey;
  INPUT up = down;
  up.ki.dwFlags = KEYEVENTF_KEYUP;
  SendInputs({down, up});
}

void TypeText(const std::wstring& text) {
  std::vector<INPUT> inputs;
  for (const wchar_t c : text) {
    for (const DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = c;
      input.ki.dwFlags = KEYEVENTF_UNICODE | up;
      inputs.push_back(input);
    }
  }
  SendInputs(std::move(inputs));
  Pump(150ms);  // let the program take the characters in
}

void ClickMouseAt(int x, int y) {
  // Pressed and released a moment apart, as a hand does, so that whatever
  // the program does on the press happens while the button is still down.
  SendInputs({AbsoluteMouse(x, y, MOUSEEVENTF_MOVE), AbsoluteMouse(x, y, MOUSEEVENTF_LEFTDOWN)});
  ::Sleep(100);
  SendInputs({AbsoluteMouse(x, y, MOUSEEVENTF_LEFTUP)});
}

void MoveMouseTo(int x, int y) { SendInputs({AbsoluteMouse(x, y, MOUSEEVENTF_MOVE)}); }

// --- Registry --------------------------------------------------------------------

void DeleteProgramKeys() { ::RegDeleteTreeW(HKEY_CURRENT_USER, kCompanyKey); }

bool KeyExists(const std::wstring& subKey) { return static_cast<bool>(OpenBase(subKey, KEY_READ)); }

void MakeVolatileBase(const std::vector<std::wstring>& subKeys) {
  win32::unique_hkey company;
  ::RegCreateKeyExW(HKEY_CURRENT_USER, kCompanyKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                    KEY_ALL_ACCESS, nullptr, company.put(), nullptr);
  win32::unique_hkey base;
  ::RegCreateKeyExW(company.get(), L"Ruzir", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                    nullptr, base.put(), nullptr);
  for (const auto& name : subKeys) {
    win32::unique_hkey sub;
    ::RegCreateKeyExW(base.get(), name.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, sub.put(), nullptr);
  }
}

void DeleteKey(const std::wstring& subKey) {
  ::RegDeleteKeyW(HKEY_CURRENT_USER, (std::wstring(kBaseKey) + L"\\" + subKey).c_str());
}

std::optional<RegValue> ReadValue(const std::wstring& subKey, const std::wstring& name) {
  const auto key = OpenBase(subKey, KEY_READ);
  if (!key) return std::nullopt;
  RegValue value;
  DWORD size = 0;
  LSTATUS status =
      ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &value.type, nullptr, &size);
  if (status == ERROR_SUCCESS) {
    value.bytes.resize(size);
    status = ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &value.type, value.bytes.data(),
                                &size);
    value.bytes.resize(size);
  }
  if (status != ERROR_SUCCESS) return std::nullopt;
  return value;
}

std::vector<std::wstring> ValueNames(const std::wstring& subKey) {
  std::vector<std::wstring> names;
  const auto key = OpenBase(subKey, KEY_READ);
  if (!key) return names;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD length = static_cast<DWORD>(std::size(name));
    if (::RegEnumValueW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name, length);
  }
  return names;
}

namespace {
win32::unique_hkey CreateBase(const std::wstring& subKey) {
  const std::wstring path = std::wstring(kBaseKey) + L"\\" + subKey;
  win32::unique_hkey key;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
    throw std::runtime_error("cannot create the key");
  }
  return key;
}
}  // namespace

void WriteBinary(const std::wstring& subKey, const std::wstring& name,
                 std::vector<std::uint8_t> bytes) {
  const auto key = CreateBase(subKey);
  ::RegSetValueExW(key.get(), name.c_str(), 0, REG_BINARY, bytes.data(),
                   static_cast<DWORD>(bytes.size()));
}

void WriteString(const std::wstring& subKey, const std::wstring& name, const std::wstring& text) {
  const auto key = CreateBase(subKey);
  ::RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

std::optional<int> RunFlag() {
  const auto value = ReadValue(L"Flags", L"Active");
  if (!value || value->bytes.size() != 2) return std::nullopt;
  return static_cast<std::int16_t>(value->bytes[0] | (value->bytes[1] << 8));
}

}  // namespace ruzir::e2e

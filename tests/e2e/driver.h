// The test driver: starts ruzir.scr as the screen-saver host would, finds its
// windows, reads their texts and pixels, presses keys and buttons and moves
// the mouse through the system's real input queue, and reads and writes the
// program's registry keys. Runs on Windows and under Wine alike.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ruzir::e2e {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;

// Long enough for a cold Wine process start on a busy machine.
inline constexpr Millis kStartTimeout = 20s;
inline constexpr Millis kEndTimeout = 10s;

// --- The program under test ---------------------------------------------------

class Program {
 public:
  // Starts ruzir.scr (found beside the test executable) with `arguments`.
  explicit Program(const std::wstring& arguments);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  ~Program();  // kills the process if it still runs

  DWORD id() const { return info_.dwProcessId; }
  bool Running() const;
  // The exit code once the process has ended within `timeout`; nullopt if it
  // still runs. Pumps this thread's messages while it waits.
  std::optional<DWORD> WaitForExit(Millis timeout = kEndTimeout) const;

  // A visible top-level window of this process with the class name; nullptr
  // when none appears within `timeout`.
  HWND WaitForTopWindow(const wchar_t* className, Millis timeout = kStartTimeout) const;
  // The same, among the windows that `accept` takes.
  HWND WaitForTopWindow(const wchar_t* className, bool (*accept)(HWND), Millis timeout) const;
  // A message box of this process; nullptr if none appears.
  HWND WaitForMessageBox(Millis timeout = kStartTimeout) const;
  // The settings dialog, "スクリーンセーバーの設定".
  HWND WaitForSettingsDialog(Millis timeout = kStartTimeout) const;

 private:
  PROCESS_INFORMATION info_{};
};

inline constexpr wchar_t kSettingsCaption[] = L"スクリーンセーバーの設定";

std::wstring ExecutableFolder();

// --- Windows -------------------------------------------------------------------

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
// The text of a message box (its static control 0xFFFF).
std::wstring MessageBoxText(HWND box);
// Clicks a dialog's button as a user would (BM_CLICK on the control).
void ClickButton(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
// The window that has the keyboard focus in `window`'s thread.
HWND FocusOf(HWND window);
// A real mouse click in the middle of a dialog's control.
void ClickControl(HWND dialog, int id);
// The first child window (any depth) of `parent` with the class, or nullptr.
HWND FindChild(HWND parent, const wchar_t* className, Millis timeout);
// Screen pixel as COLORREF (0x00BBGGRR).
COLORREF ScreenPixel(int x, int y);

// Whether the system's cursor is shown now. (Wine keeps the count per
// thread and resets it when the process ends, so only hiding is observable.)
bool CursorShowing();

// Runs this thread's pending messages for `duration`.
void Pump(Millis duration);

// A stand-in for the screen-saver host's dialog: a top-level window holding a
// borderless child pane, as large as the host's preview pane.
class PreviewHost {
 public:
  PreviewHost(int paneWidth, int paneHeight);
  PreviewHost(const PreviewHost&) = delete;
  PreviewHost& operator=(const PreviewHost&) = delete;
  ~PreviewHost();
  HWND pane() const { return pane_; }
  void DestroyPane();

 private:
  HWND host_ = nullptr;
  HWND pane_ = nullptr;
};

// A plain top-level window of one solid colour, for the desktop snapshot.
class ColourPatch {
 public:
  ColourPatch(RECT where, COLORREF colour);
  ColourPatch(const ColourPatch&) = delete;
  ColourPatch& operator=(const ColourPatch&) = delete;
  ~ColourPatch();

 private:
  HWND window_ = nullptr;
  HBRUSH brush_ = nullptr;
};

// --- Input, through the system's input queue ----------------------------------

void PressKey(WORD virtualKey);
// Types text into the focused control, character by character (any
// character, full-width ones too).
void TypeText(const std::wstring& text);
void ClickMouseAt(int x, int y);
void MoveMouseTo(int x, int y);

// --- Registry, below HKEY_CURRENT_USER\Software\Zedozud Uravovuv\Ruzir\ -------

inline constexpr wchar_t kCompanyKey[] = L"Software\\Zedozud Uravovuv";
inline constexpr wchar_t kBaseKey[] = L"Software\\Zedozud Uravovuv\\Ruzir";

void DeleteProgramKeys();
bool KeyExists(const std::wstring& subKey);  // below kBaseKey
// Creates kBaseKey (and `subKeys` below it) as volatile keys: the system then
// refuses to create any ordinary key below them, which is how the tests make
// opening a missing key fail.
void MakeVolatileBase(const std::vector<std::wstring>& subKeys);
void DeleteKey(const std::wstring& subKey);

struct RegValue {
  DWORD type = 0;
  std::vector<std::uint8_t> bytes;
};
std::optional<RegValue> ReadValue(const std::wstring& subKey, const std::wstring& name);
std::vector<std::wstring> ValueNames(const std::wstring& subKey);
void WriteBinary(const std::wstring& subKey, const std::wstring& name,
                 std::vector<std::uint8_t> bytes);
void WriteString(const std::wstring& subKey, const std::wstring& name, const std::wstring& text);
// "Active" as a number, or nullopt when it is missing or not 2 bytes.
std::optional<int> RunFlag();

}  // namespace ruzir::e2e

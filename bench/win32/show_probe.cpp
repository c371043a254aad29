// How the full-screen show feels, timed from outside: starts the ruzir.scr given
// with /s, as the system does, and prints figures in ms. Modes: start (until the
// window, and the first picture), answers SECS (the window thread's answers,
// asked every 5 ms), exit-loading / exit-drift (key to exit as the window comes /
// as the first picture drifts), hold SECS. bench/show-bench.sh runs it on Wine.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "support/win32/handles.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr COLORREF kBackground = RGB(64, 0, 64);

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Polls `probe` every few milliseconds until it holds or `seconds` pass.
template <typename Probe>
bool Poll(Probe probe, int seconds = 300) {
  const auto end = Clock::now() + std::chrono::seconds(seconds);
  bool held = false;
  while (!(held = probe()) && Clock::now() < end) ::Sleep(2);
  return held;
}

// The screen's colour at its centre and 40 pixels around, CLR_INVALID if they
// differ: a picture is shown once it is not the background nor as before.
COLORREF CentreColour() {
  const auto screen = ruzir::win32::GetScreenDc();
  const int x = ::GetSystemMetrics(SM_CXSCREEN) / 2, y = ::GetSystemMetrics(SM_CYSCREEN) / 2;
  const COLORREF centre = ::GetPixel(screen.get(), x, y);
  for (const int d : {-40, 40}) {
    if (::GetPixel(screen.get(), x + d, y) != centre ||
        ::GetPixel(screen.get(), x, y + d) != centre)
      return CLR_INVALID;
  }
  return centre;
}

// The full-screen show, ended if it still runs when the probe is done.
struct Show {
  explicit Show(const std::wstring& scr) {
    std::wstring line = L"\"" + scr + L"\" /s";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &info)) {
      process.reset(info.hProcess);
      const ruzir::win32::unique_handle thread(info.hThread);
      id = info.dwProcessId;
    }
  }
  ~Show() { ::TerminateProcess(process.get(), 99); }  // fails harmlessly once it has ended
  bool Ended(DWORD waitMs = 0) const {
    return ::WaitForSingleObject(process.get(), waitMs) != WAIT_TIMEOUT;
  }
  // Its visible top-level show window, or null.
  HWND Window() const {
    const HWND w = ::FindWindowW(L"RuzirShow", nullptr);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(w, &owner);
    return owner == id && ::IsWindowVisible(w) ? w : nullptr;
  }
  Clock::time_point started = Clock::now();
  ruzir::win32::unique_handle process;
  DWORD id = 0;
};

// From a space bar press, once the show has the keyboard, until its process
// has ended; -1 when it runs on for a minute.
double KeyToExit(const Show& show, HWND window) {
  Poll([&] { return ::GetForegroundWindow() == window; }, 20);
  INPUT keys[2] = {};
  for (INPUT& key : keys) key.type = INPUT_KEYBOARD, key.ki.wVk = VK_SPACE;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  const auto pressed = Clock::now();
  ::SendInput(2, keys, sizeof(INPUT));
  return show.Ended(60000) ? MillisecondsSince(pressed) : -1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 2 ? argv[2] : L"";
  const int seconds = argc > 3 ? std::stoi(argv[3]) : 0;
  const COLORREF before = CentreColour();
  const Show show(argc > 1 ? argv[1] : L"ruzir.scr");
  HWND window = nullptr;
  if (!Poll([&] { return (window = show.Window()) || show.Ended(); }) || !window) return 1;
  const double windowMs = MillisecondsSince(show.started);
  if (mode == L"answers") {
    // WM_NULL is answered as soon as the window's thread looks at its queue.
    double longest = 0;
    int late = 0, asked = 0;
    for (const auto end = Clock::now() + std::chrono::seconds(seconds);
         Clock::now() < end && !show.Ended(); ::Sleep(5), ++asked) {
      const auto sent = Clock::now();
      ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
      const double took = MillisecondsSince(sent);
      longest = took > longest ? took : longest;
      late += took > 50 ? 1 : 0;
    }
    std::printf("longest %.0f late %d asked %d\n", longest, late, asked);
  } else if (mode != L"exit-loading") {
    COLORREF now = before;
    const auto shown = [&] { return (now = CentreColour()) != kBackground && now != before; };
    if (!Poll([&] { return show.Ended() || shown(); }) || show.Ended()) return 1;
    const double pictureMs = MillisecondsSince(show.started);
    if (mode == L"start") std::printf("window %.0f picture %.0f\n", windowMs, pictureMs);
    ::Sleep(mode == L"hold" ? seconds * 1000 : mode == L"exit-drift" ? 1000 : 0);
  }
  const double exitMs = KeyToExit(show, window);
  if (mode.starts_with(L"exit")) std::printf("exit %.0f\n", exitMs);
  return exitMs < 0;
}

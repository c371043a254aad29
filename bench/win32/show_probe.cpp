// How the full-screen show feels, timed from outside: starts the ruzir.scr beside
// it with /s, as the system does, and prints figures in ms. Modes: start (until the
// window, and the first picture), answers SECS (the window thread's answers,
// asked every 5 ms), still SECS (how many pairs of screenshots taken 100 ms apart
// are alike, from the first picture on), exit-loading / exit-drift (key to exit
// as the window comes / as the first picture drifts), hold SECS.
// bench/show-bench.sh runs it on Wine.
#include <cstdio>
#include <thread>
#include <vector>

#include "tests/e2e/driver.h"

namespace {

using namespace ruzir::e2e;
using Clock = std::chrono::steady_clock;
constexpr COLORREF kBackground = RGB(64, 0, 64);

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  const int seconds = argc > 2 ? std::stoi(argv[2]) : 0;
  const COLORREF before = CentreColour();
  const auto started = Clock::now();
  const Program show(L"/s");
  // Polled every 2 ms, not every 20 as the tests do: the figures are milliseconds.
  HWND window = nullptr;
  const auto came = [&] { return (window = Find(L"RuzirShow", nullptr, 0, nullptr)) != nullptr; };
  if (!WaitFor([&] { return came() || !show.Running(); }, 300s, 2ms) || !window) return 1;
  const double windowMs = MillisecondsSince(started);
  if (mode == L"answers") {
    // WM_NULL is answered as soon as the window's thread looks at its queue.
    double longest = 0;
    int late = 0, asked = 0;
    for (const auto end = Clock::now() + std::chrono::seconds(seconds);
         Clock::now() < end && show.Running(); ::Sleep(5), ++asked) {
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
    if (!WaitFor([&] { return !show.Running() || shown(); }, 300s, 2ms) || !show.Running())
      return 1;
    const double pictureMs = MillisecondsSince(started);
    if (mode == L"start") std::printf("window %.0f picture %.0f\n", windowMs, pictureMs);
    if (mode == L"still") {
      // The picture moves every 50 ms: two shots alike, at least 100 ms
      // apart (never closer: two within one tick would look like a stall),
      // mean the window's thread held the screen still between them.
      const auto end = Clock::now() + std::chrono::seconds(seconds);
      auto taken = Clock::now();
      std::vector<COLORREF> previous = Shot().pixels;
      int still = 0, pairs = 0;
      for (; taken + 100ms < end && show.Running(); ++pairs) {
        std::this_thread::sleep_until(taken + 100ms);
        taken = Clock::now();
        Shot shot;
        still += shot.pixels == previous;
        previous = std::move(shot.pixels);
      }
      std::printf("still %d pairs %d\n", still, pairs);
    }
    ::Sleep(mode == L"hold" ? seconds * 1000 : mode == L"exit-drift" ? 1000 : 0);
  }
  // From a space bar press, once the show has the keyboard, until its process
  // has ended (waited on, not polled); a failure when it runs on for a minute.
  WaitFor([&] { return ::GetForegroundWindow() == window; });
  const auto pressed = Clock::now();
  Keys({VK_SPACE});
  const bool ended = !show.Running(60000);
  if (ended && mode.starts_with(L"exit")) std::printf("exit %.0f\n", MillisecondsSince(pressed));
  return ended ? 0 : 1;
}

// End-to-end tests of the full-screen show on two monitors, run on their own
// X server (scripts/test.sh): a 1280 x 1024 primary and a 1024 x 768 monitor
// right of it. A picture's longer side is 0.6 of its monitor's height: 614
// pixels on the primary, 461 on the second.
#include <cstdlib>

#include "tests/e2e/driver.h"

namespace ruzir::e2e {
namespace {

constexpr RECT kPrimary{0, 0, 1280, 1024}, kSecond{1280, 0, 2304, 768};

// The show's visible window exactly over `monitor`, if there is one.
HWND ShowOver(const RECT& monitor) {
  for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, L"RuzirShow", nullptr)) != nullptr;) {
    if (::IsWindowVisible(w) && Same(RectOf(w), monitor)) return w;
  }
  return nullptr;
}
RECT Picture(const RECT& monitor, const Shot& shot = Shot()) {
  return shot.Find(RGB(255, 0, 0), true, monitor).second;
}
// The show's window over `monitor` with one picture `height` pixels high.
bool Shows(const RECT& monitor, int height, const Shot& shot = Shot()) {
  const auto [red, box] = shot.Find(RGB(255, 0, 0), true, monitor);
  return ShowOver(monitor) && red == Area(box) && box.bottom - box.top == height;
}
// Both monitors covered, in the background colour, each with its picture.
bool BothShown() {
  const Shot shot;
  return Shows(kPrimary, 614, shot) && Shows(kSecond, 461, shot) &&
         shot.At(1281, 1) == RGB(64, 0, 64);
}
// The X server's xrandr with `arguments`, then a query, which has the server
// probe its outputs: Wine hears of the change only then. A Unix program has
// no Windows process to wait for: the callers wait for what it brings about.
void Xrandr(const std::wstring& arguments) {
  Start(L"Z:\\usr\\bin\\dash -c \"xrandr " + arguments + L" && xrandr -q >/dev/null\"");
}

using Monitors = Fresh;

// Each monitor has its own show, its picture sized from its own height and
// drifting inside it. A change of monitors is no input, though it moves the
// cursor: the primary swapped (the desktop's origin moves), the cursor's
// monitor resized, then switched off (the cursor is pushed onto the other)
// and on again, each covered anew. Windows opened mid-show start on the
// background, not on a copy of the show. A real move ends the whole show.
TEST_F(Monitors, EveryMonitorHasItsOwnShowThroughChangesOfMonitors) {
  Folder folder;
  folder.Add(L"red.bmp", Bmp(300, 600));
  Store(L"Path", String(folder.path));
  Store(L"Interval", Short(3600));
  Store(L"Desktop", Short(1));
  Mouse(1700, 400);
  Program program(L"/s");
  ASSERT_TRUE(program.Window(L"RuzirShow") &&
              WaitFor([] { return Shows(kPrimary, 614) && Shows(kSecond, 461); }));
  const RECT second = Picture(kSecond);
  EXPECT_TRUE(WaitFor([&] { return !Same(Picture(kSecond), second); }));  // it drifts
  Xrandr(L"--output DUMMY1 --primary");
  EXPECT_TRUE(WaitFor([] { return Shows({0, 0, 1024, 768}, 461); }));
  EXPECT_TRUE(WaitFor([] { return ShowOver({-1280, 0, 0, 1024}); }));
  Xrandr(L"--output DUMMY1 --mode 800x600");
  EXPECT_TRUE(WaitFor([] { return Shows({0, 0, 800, 600}, 360); }));
  EXPECT_EQ(Shot().At(2, 2), RGB(64, 0, 64));
  Xrandr(L"--output DUMMY1 --off");
  EXPECT_TRUE(WaitFor([] { return Shows(kPrimary, 614); }));
  // Drifting 1.92 pixels a tick, the picture has moved 100 only after at
  // least 52 ticks: the show has gone on well past the pushed cursor.
  const RECT first = Picture(kPrimary);
  EXPECT_TRUE(WaitFor([&] { return std::abs(Picture(kPrimary).left - first.left) >= 100; }));
  EXPECT_TRUE(program.Running());
  Xrandr(L"--output DUMMY1 --mode 1024x768 --right-of DUMMY0 --output DUMMY0 --primary");
  EXPECT_TRUE(WaitFor(BothShown));
  Nudge(-1, 0);
  EXPECT_EQ(program.Exit(), 0u);
  EXPECT_EQ(RunFlag(), Short(0));
}

}  // namespace
}  // namespace ruzir::e2e

// End-to-end tests on a portrait screen, 1080 x 1920, run on a display of
// their own: a picture about as wide as the screen changes within seconds and
// does not jitter across.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "tests/e2e/driver.h"
#include "tests/e2e/pictures.h"

namespace ruzir::e2e {
namespace {

constexpr wchar_t kShowClass[] = L"RuzirShow";
constexpr COLORREF kRed = RGB(255, 0, 0);

class Portrait : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteProgramKeys();
    ASSERT_EQ(::GetSystemMetrics(SM_CXSCREEN), 1080);
    ASSERT_EQ(::GetSystemMetrics(SM_CYSCREEN), 1920);
  }
  void TearDown() override { DeleteProgramKeys(); }
};

// A 94 x 100 picture is shown 1083 x 1152, three pixels wider than the
// screen: the horizontal slide's strips move about half a pixel a step, some
// 2,000 steps each half. Its red left half meets its blue right half at a
// border that shows where the picture is across.
TEST_F(Portrait, APictureAboutAsWideAsTheScreenChangesSoonAndStaysCentredAcross) {
  PictureFolder folder;
  folder.AddBmp(L"halves.bmp", 94, 100, kRed, RGB(0, 0, 255));
  UsePictureFolder(folder);
  SetShortSetting(L"Interval", 1);
  SetShortSetting(L"Break", 3);
  Program program(L"/s");
  ASSERT_NE(program.WaitForTopWindow(kShowClass), nullptr);

  // The red half fills the rectangle around it only while no strip is out of
  // place. A change is seen as a whole picture, strips apart, then a whole
  // picture again.
  enum { kBefore, kWhole, kApart, kWholeAgain } phase = kBefore;
  std::optional<LONG> border;
  LONG highest = LONG_MAX;
  LONG lowest = LONG_MIN;
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (phase != kWholeAgain && std::chrono::steady_clock::now() < deadline) {
    Pump(50ms);
    const Screenshot screen;
    const auto red = screen.Bounds(kRed, 0);
    const bool whole =
        red && screen.Count(kRed, 0) == (red->right - red->left) * (red->bottom - red->top);
    if (!whole) {
      if (phase == kWhole) phase = kApart;
      continue;
    }
    phase = phase == kApart ? kWholeAgain : kWhole;
    EXPECT_EQ(red->left, 0);
    EXPECT_EQ(red->bottom - red->top, 1152);
    if (!border) border = red->right;
    EXPECT_EQ(red->right, *border) << "the picture moved across";
    highest = std::min(highest, red->top);
    lowest = std::max(lowest, red->top);
  }
  EXPECT_EQ(phase, kWholeAgain) << "no picture change within 10 s";
  EXPECT_LT(highest, lowest) << "the picture did not drift down or up";
  EXPECT_EQ(program.WaitForMessageBox(0ms), nullptr);
  PressKey(VK_SPACE);
  EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace ruzir::e2e

// End-to-end tests of the pictures: the folder's list, loading, the size and
// place of the slide, its drift and its changes, and the files it skips.
// The geometry checks assume the 1024 x 768 screen at 96 DPI the test run
// provides: there a drift step is exactly 2 pixels across and 1 down.
#include <gtest/gtest.h>

#include <cmath>

#include "resources/resource.h"
#include "tests/e2e/driver.h"
#include "tests/e2e/pictures.h"

namespace ruzir::e2e {
namespace {

constexpr wchar_t kShowClass[] = L"RuzirShow";
constexpr wchar_t kNoPictures[] = L"画像ファイル取得エラー";
constexpr COLORREF kBackground = RGB(64, 0, 64);
constexpr int kJpegTolerance = 8;  // a solid colour comes back within a few steps

class Pictures : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteProgramKeys();
    ASSERT_EQ(::GetSystemMetrics(SM_CXSCREEN), 1024);
    ASSERT_EQ(::GetSystemMetrics(SM_CYSCREEN), 768);
  }
  void TearDown() override { DeleteProgramKeys(); }

  static void EndWithAKey(const Program& program) {
    PressKey(VK_SPACE);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(RunFlag(), 0);
  }
};

// Where a centred picture of `size` pixels starts on a side of `extent`:
// whole pixels, halves to even.
int CentredStart(int extent, int size) {
  return static_cast<int>(std::nearbyint((extent - size) / 2.0));
}

TEST_F(Pictures, PictureIsCentredAtSixTenthsOfTheHeightThenDrifts) {
  struct Case {
    const char* name;
    bool jpeg;
    int width, height;
    COLORREF colour;
    int shownWidth, shownHeight;  // 0.6 x 768 = 460.8 on the longer side
  };
  const Case cases[] = {
      {"upright BMP", false, 300, 600, RGB(255, 0, 0), 230, 461},
      {"wide JPEG", true, 800, 600, RGB(0, 0, 255), 461, 346},
      {"small square BMP, enlarged", false, 100, 100, RGB(0, 200, 0), 461, 461},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PictureFolder folder;
    if (c.jpeg) {
      folder.AddJpeg(L"picture.jpg", c.width, c.height, c.colour);
    } else {
      folder.AddBmp(L"picture.bmp", c.width, c.height, c.colour);
    }
    UsePictureFolder(folder);
    SetShortSetting(L"Interval", 60);
    const int tolerance = c.jpeg ? kJpegTolerance : 0;
    const int left0 = CentredStart(1024, c.shownWidth);
    const int top0 = CentredStart(768, c.shownHeight);

    Program program(L"/s");
    ASSERT_NE(program.WaitForTopWindow(kShowClass), nullptr);
    int ticks = -1;
    for (int shot = 0; shot < 2; ++shot) {
      Pump(shot == 0 ? 100ms : 1000ms);
      const Screenshot screen;
      const auto bounds = screen.Bounds(c.colour, tolerance);
      ASSERT_TRUE(bounds.has_value()) << "no picture on screen";
      EXPECT_EQ(bounds->right - bounds->left, c.shownWidth);
      EXPECT_EQ(bounds->bottom - bounds->top, c.shownHeight);
      // It started centred and has moved k steps down and to the right.
      const int k = bounds->top - top0;
      EXPECT_GE(k, 0);
      EXPECT_EQ(bounds->left - left0, 2 * k);
      EXPECT_GT(k, ticks) << "the picture did not move";
      ticks = k;
      EXPECT_EQ(screen.At(5, 5), kBackground);
    }
    EndWithAKey(program);
  }
}

// Every second a picture change, with a random transition each time (the
// default pattern): the show keeps changing pictures without an error.
TEST_F(Pictures, WithIntervalOneThePictureKeepsChanging) {
  const COLORREF colours[] = {RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(0, 0, 255),
                              RGB(255, 255, 0), RGB(0, 255, 255), RGB(255, 255, 255)};
  const wchar_t* names[] = {L"A.JPG", L"b.Jpeg", L"c.bmp", L"d.BMP", L"e.jpeg", L"f.jpg"};
  PictureFolder folder;
  for (int i = 0; i < 6; ++i) {
    const std::wstring name = names[i];
    if (name.back() == L'p' || name.back() == L'P') {
      folder.AddBmp(name, 200, 100, colours[i]);
    } else {
      folder.AddJpeg(name, 200, 100, colours[i]);
    }
  }
  UsePictureFolder(folder);
  SetShortSetting(L"Interval", 1);

  // The picture on screen: the one colour covering a whole picture's area
  // (none while pieces are apart).
  const auto shown = [&](const Screenshot& screen) -> std::optional<int> {
    for (int i = 0; i < 6; ++i) {
      if (screen.Count(colours[i], kJpegTolerance) > 461 * 230 * 9 / 10) return i;
    }
    return std::nullopt;
  };
  Program program(L"/s");
  ASSERT_NE(program.WaitForTopWindow(kShowClass), nullptr);
  // Each change draws one of six at random, so most changes show another
  // colour; three of them come within seconds.
  std::optional<int> last;
  int changes = 0;
  for (int i = 0; i < 100 && changes < 3; ++i) {
    Pump(150ms);
    const auto now = shown(Screenshot());
    if (now && last && *now != *last) ++changes;
    if (now) last = now;
  }
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(program.WaitForMessageBox(0ms), nullptr);
  EndWithAKey(program);
}

TEST_F(Pictures, AfterImagesLeaveATrail) {
  const COLORREF red = RGB(255, 0, 0);
  PictureFolder folder;
  folder.AddBmp(L"red.bmp", 300, 600, red);
  UsePictureFolder(folder);
  SetShortSetting(L"Interval", 60);
  SetShortSetting(L"Gost", 1);
  Program program(L"/s");
  ASSERT_NE(program.WaitForTopWindow(kShowClass), nullptr);
  Pump(1500ms);
  // Stamps at every step, 1 % of the screen apart: far more red than one
  // picture covers, spread along the diagonal it drifts on.
  const Screenshot screen;
  const auto trail = screen.Bounds(red, 0);
  ASSERT_TRUE(trail.has_value());
  EXPECT_GT(screen.Count(red, 0), 2 * 230 * 461);
  EXPECT_GT(trail->right - trail->left, 230 + 100);
  EXPECT_GT(trail->bottom - trail->top, 461 + 60);
  EndWithAKey(program);
}

// The oversized ones are small files claiming 60000 x 60000 pixels, which
// the codec would allocate in full on opening them.
TEST_F(Pictures, DamagedEmptyAndOversizedFilesAreSkipped) {
  const COLORREF green = RGB(0, 160, 0);
  PictureFolder folder;
  folder.AddFile(L"damaged.jpg", {0xFF, 0xD8, 0xFF, 0xE0, 0x12, 0x34, 0x56, 0x78, 0x9A});
  folder.AddFile(L"empty.jpg", {});
  folder.AddFile(L"text.bmp", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'});
  folder.AddJpeg(L"bomb.jpg", 16, 16, RGB(255, 0, 0));
  folder.ClaimSize(L"bomb.jpg", 60000, 60000);
  folder.AddBmp(L"bomb.bmp", 16, 16, RGB(255, 0, 0));
  folder.ClaimSize(L"bomb.bmp", 60000, 60000);
  folder.AddBmp(L"good.bmp", 120, 90, green);
  UsePictureFolder(folder);
  SetShortSetting(L"Interval", 1);
  SetShortSetting(L"Break", 0);  // changes at once: the picture is always whole

  Program program(L"/s");
  ASSERT_NE(program.WaitForTopWindow(kShowClass), nullptr);
  // Through several changes the good picture is always the one shown.
  for (int i = 0; i < 12; ++i) {
    Pump(300ms);
    EXPECT_GT(Screenshot().Count(green, 0), 461 * 346 / 2) << "shot " << i;
  }
  EXPECT_TRUE(program.Running());
  EXPECT_EQ(program.WaitForMessageBox(0ms), nullptr);
  EndWithAKey(program);
}

// Every picture renamed away for a while: the show keeps the one it has and
// shows a picture again as soon as one is back under a listed name.
TEST_F(Pictures, PicturesThatVanishAndComeBackKeepTheShowGoing) {
  const COLORREF red = RGB(255, 0, 0);
  const COLORREF blue = RGB(0, 0, 255);
  PictureFolder folder;
  folder.AddBmp(L"a.bmp", 120, 90, red);
  folder.AddBmp(L"b.bmp", 120, 90, red);
  UsePictureFolder(folder);
  SetShortSetting(L"Interval", 1);
  SetShortSetting(L"Break", 0);
  Program program(L"/s");
  const HWND show = program.WaitForTopWindow(kShowClass);
  ASSERT_NE(show, nullptr);
  for (const std::wstring name : {L"a.bmp", L"b.bmp"}) {
    const std::wstring file = folder.path() + name;
    ASSERT_TRUE(::MoveFileW(file.c_str(), (file + L".away").c_str()));
  }
  Pump(3s);  // changes come and find nothing to load
  EXPECT_TRUE(program.Running());
  EXPECT_EQ(program.WaitForMessageBox(0ms), nullptr);
  EXPECT_EQ(program.WaitForTopWindow(kShowClass, 0ms), show);
  EXPECT_EQ(RunFlag(), 1);
  EXPECT_GT(Screenshot().Count(red, 0), 461 * 346 / 2) << "the last picture must stay";

  folder.AddBmp(L"b.bmp", 120, 90, blue);
  bool back = false;
  for (int i = 0; i < 25 && !back; ++i) {
    Pump(200ms);
    back = Screenshot().Count(blue, 0) > 461 * 346 / 2;
  }
  EXPECT_TRUE(back) << "the picture that came back is not shown";
  EndWithAKey(program);
}

// A folder past the classic 260-character limit: the show lists and loads
// its pictures, and the settings dialog's folder check finds it.
TEST_F(Pictures, AFolderLongerThanTheClassicLimitWorks) {
  const COLORREF teal = RGB(0, 128, 128);
  PictureFolder folder(300);
  folder.AddBmp(L"long.bmp", 120, 90, teal);
  UsePictureFolder(folder);
  {
    Program show(L"/s");
    ASSERT_NE(show.WaitForTopWindow(kShowClass), nullptr);
    Pump(300ms);
    EXPECT_GT(Screenshot().Count(teal, 0), 461 * 346 / 2);
    EndWithAKey(show);
  }
  Program settings(L"");
  const HWND dialog = settings.WaitForSettingsDialog();
  ASSERT_NE(dialog, nullptr);
  Pump(200ms);
  ASSERT_EQ(WindowText(::GetDlgItem(dialog, IDC_TXT_PATH)), folder.path());
  PressKey(VK_TAB);  // the folder field starts with the focus
  EXPECT_EQ(settings.WaitForMessageBox(1s), nullptr) << "the long folder was reported missing";
  ClickButton(dialog, IDCANCEL);
  EXPECT_EQ(settings.WaitForExit(), std::optional<DWORD>(0));
}

TEST_F(Pictures, AFolderWithNothingToShowEndsWithAMessageBeforeAnyWindow) {
  struct Case {
    const char* name;
    void (*fill)(const PictureFolder&);
  };
  const Case cases[] = {
      {"empty", [](const PictureFolder&) {}},
      {"no picture names",
       [](const PictureFolder& f) {
         f.AddBmp(L"picture.png", 50, 50, RGB(1, 2, 3));
         f.AddBmp(L"picture.gif", 50, 50, RGB(1, 2, 3));
         f.AddBmp(L"picture.jpgx", 50, 50, RGB(1, 2, 3));
       }},
      {"hidden, system and folders",
       [](const PictureFolder& f) {
         f.AddBmp(L"hidden.bmp", 50, 50, RGB(1, 2, 3));
         f.SetAttributes(L"hidden.bmp", FILE_ATTRIBUTE_HIDDEN);
         f.AddBmp(L"system.bmp", 50, 50, RGB(1, 2, 3));
         f.SetAttributes(L"system.bmp", FILE_ATTRIBUTE_SYSTEM);
         f.AddFolder(L"folder.jpg");
       }},
      {"only damaged pictures",
       [](const PictureFolder& f) {
         f.AddFile(L"a.jpg", {});
         f.AddFile(L"b.bmp", {'B', 'M', 0, 0});
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PictureFolder folder;
    c.fill(folder);
    UsePictureFolder(folder);
    Program program(L"/s");
    const HWND box = program.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), L"Ruzir");
    EXPECT_EQ(MessageBoxText(box), kNoPictures);
    EXPECT_EQ(program.WaitForTopWindow(kShowClass, 0ms), nullptr);
    ClickButton(box, IDOK);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(1));
    EXPECT_EQ(RunFlag(), 0);
  }
}

// Under Wine a child of another process's window is never drawn on the
// screen, so the test takes the preview out of the pane, as a top-level
// window of its own, to look at what it drew.
TEST_F(Pictures, PreviewShowsOneStillPictureScaledToThePane) {
  const COLORREF red = RGB(255, 0, 0);
  PictureFolder folder;
  folder.AddBmp(L"red.bmp", 300, 600, red);
  UsePictureFolder(folder);
  PreviewHost host(152, 112);
  Program program(L"/p " + std::to_wstring(reinterpret_cast<std::uintptr_t>(host.pane())));
  const HWND show = FindChild(host.pane(), kShowClass, kStartTimeout);
  ASSERT_NE(show, nullptr);
  Pump(300ms);

  ::SetWindowLongW(show, GWL_STYLE, (::GetWindowLongW(show, GWL_STYLE) & ~WS_CHILD) | WS_POPUP);
  ::SetParent(show, nullptr);
  ::SetWindowPos(show, HWND_TOPMOST, 600, 500, 0, 0,
                 SWP_NOSIZE | SWP_SHOWWINDOW | SWP_FRAMECHANGED);
  ::InvalidateRect(show, nullptr, FALSE);
  std::optional<RECT> first;
  for (int shot = 0; shot < 2; ++shot) {
    Pump(500ms);
    const Screenshot screen;
    const auto bounds = screen.Bounds(red, 0);
    ASSERT_TRUE(bounds.has_value());
    // 0.6 x 112 = 67.2 high, 33.6 wide; centred in the 152 x 112 pane.
    EXPECT_EQ(bounds->right - bounds->left, 34);
    EXPECT_EQ(bounds->bottom - bounds->top, 67);
    EXPECT_EQ(bounds->left, 600 + CentredStart(152, 34));
    EXPECT_EQ(bounds->top, 500 + CentredStart(112, 67));
    EXPECT_EQ(screen.At(602, 502), kBackground);
    if (first) {
      EXPECT_EQ(bounds->left, first->left) << "the preview's picture must not move";
      EXPECT_EQ(bounds->top, first->top) << "the preview's picture must not move";
    }
    first = bounds;
  }
  ::PostMessageW(show, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
  EXPECT_EQ(RunFlag(), 0);
}

}  // namespace
}  // namespace ruzir::e2e

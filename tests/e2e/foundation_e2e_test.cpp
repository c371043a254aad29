// End-to-end tests of start-up, the settings store and the show window,
// driving the real ruzir.scr the way the screen-saver host and a user do.
#include <gtest/gtest.h>

#include "tests/e2e/driver.h"
#include "support/win32/version_info.h"
#include "tests/e2e/pictures.h"

namespace ruzir::e2e {
namespace {

constexpr wchar_t kShowClass[] = L"RuzirShow";
constexpr wchar_t kLoadFailed[] = L"設定情報の取得に失敗しました。";

class Foundation : public ::testing::Test {
 protected:
  // These tests look at the window and its background: their one picture is
  // too thin to cover a pixel at any screen size (0.46 pixels high at 768).
  void SetUp() override {
    DeleteProgramKeys();
    pictures_.AddBmp(L"thin.bmp", 2000, 2, RGB(255, 255, 255));
    UsePictureFolder(pictures_);
  }
  void TearDown() override { DeleteProgramKeys(); }

  // Starts the full-screen show and waits until it covers the screen.
  static HWND StartShow(Program& program) {
    const HWND show = program.WaitForTopWindow(kShowClass);
    EXPECT_NE(show, nullptr) << "no show window";
    Pump(300ms);  // let it paint and settle its cursor
    return show;
  }

  static void ExpectEndsCleanly(const Program& program) {
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(RunFlag(), 0);
  }

  // Starts again from volatile keys (see MakeVolatileBase); a volatile
  // "Settings" gets the picture folder too.
  void UseVolatileKeys(const std::vector<std::wstring>& subKeys) {
    DeleteProgramKeys();
    MakeVolatileBase(subKeys);
    for (const auto& key : subKeys) {
      if (key == L"Settings") UsePictureFolder(pictures_);
    }
  }

  PictureFolder pictures_;
};

// With nothing stored the show takes the pictures beside the program.
TEST_F(Foundation, FirstRunShowsThePicturesBesideTheProgramAndLeavesAnEmptySettingsKey) {
  DeleteProgramKeys();
  Program program(L"/s");
  const HWND show = StartShow(program);
  ASSERT_NE(show, nullptr);
  EXPECT_EQ(RunFlag(), 1);

  RECT rect{};
  ::GetWindowRect(show, &rect);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, ::GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(rect.bottom, ::GetSystemMetrics(SM_CYSCREEN));
  EXPECT_TRUE(::GetWindowLongW(show, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(::GetWindowLongW(show, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
  // The default background, red 64, green 0, blue 64, and a picture on it.
  EXPECT_EQ(ScreenPixel(5, 5), RGB(64, 0, 64));
  EXPECT_NE(ScreenPixel(rect.right / 2, rect.bottom / 2), RGB(64, 0, 64));

  EXPECT_TRUE(KeyExists(L"Settings"));
  EXPECT_TRUE(ValueNames(L"Settings").empty());
  EXPECT_FALSE(CursorShowing()) << "the show hides the cursor";

  PressKey(VK_SPACE);
  ExpectEndsCleanly(program);
  EXPECT_TRUE(ValueNames(L"Settings").empty());  // loading never writes
}

TEST_F(Foundation, StoredBackgroundColourIsShown) {
  WriteBinary(L"Settings", L"BackColor", {0x20, 0xC0, 0x60, 0x00});  // 0x0060C020
  Program program(L"/S");
  ASSERT_NE(StartShow(program), nullptr);
  EXPECT_EQ(ScreenPixel(10, 10), RGB(0x20, 0xC0, 0x60));
  PressKey(VK_RETURN);
  ExpectEndsCleanly(program);
}

TEST_F(Foundation, AnyUserInputEndsTheFullScreenShow) {
  struct Case {
    const char* name;
    void (*act)();
  };
  const int cx = ::GetSystemMetrics(SM_CXSCREEN);
  const int cy = ::GetSystemMetrics(SM_CYSCREEN);
  static int x = 0;
  static int y = 0;
  x = cx / 2;
  y = cy / 2;
  const Case cases[] = {
      {"a key", [] { PressKey('A'); }},
      {"a modifier alone", [] { PressKey(VK_SHIFT); }},
      {"a click", [] { ClickMouseAt(x, y); }},
      {"a mouse move",
       [] {
         MoveMouseTo(x + 40, y + 30);
         Pump(150ms);
         MoveMouseTo(x + 90, y + 70);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MoveMouseTo(x, y);
    Pump(100ms);
    Program program(L"/s");
    ASSERT_NE(StartShow(program), nullptr);
    EXPECT_TRUE(program.Running());
    EXPECT_EQ(RunFlag(), 1);
    c.act();
    ExpectEndsCleanly(program);
  }
}

TEST_F(Foundation, ARestingCursorDoesNotEndTheShow) {
  MoveMouseTo(200, 200);
  Pump(100ms);
  Program program(L"/s");
  ASSERT_NE(StartShow(program), nullptr);
  MoveMouseTo(200, 200);  // a move message without a move
  Pump(1s);
  EXPECT_TRUE(program.Running());
  PressKey(VK_ESCAPE);
  ExpectEndsCleanly(program);
}

TEST_F(Foundation, SecondCopyEndsSilentlyWhileOneRunsWithItsFlagSet) {
  Program first(L"/s");
  ASSERT_NE(StartShow(first), nullptr);
  for (const wchar_t* arguments : {L"/s", L"/p 1234", L"/c"}) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(arguments)));
    Program second(arguments);
    EXPECT_EQ(second.WaitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(RunFlag(), 1);
  }
  EXPECT_TRUE(first.Running());
  PressKey(VK_SPACE);
  ExpectEndsCleanly(first);
}

TEST_F(Foundation, StaleFlagWithoutARunningCopyDoesNotBlock) {
  WriteBinary(L"Flags", L"Active", {1, 0});
  Program program(L"/s");
  ASSERT_NE(StartShow(program), nullptr);
  PressKey(VK_SPACE);
  ExpectEndsCleanly(program);
}

TEST_F(Foundation, AnyOtherCommandLineOpensTheSettingsDialog) {
  for (const wchar_t* arguments : {L"", L"/c", L"/c:1234", L"/x"}) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(arguments)));
    Program program(arguments);
    const HWND dialog = program.WaitForSettingsDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(RunFlag(), 1);
    ClickButton(dialog, IDCANCEL);
    ExpectEndsCleanly(program);
  }
}

TEST_F(Foundation, PreviewIsAChildOfThePaneIgnoresInputAndEndsWithThePane) {
  PreviewHost host(152, 112);
  Program program(L"/p " + std::to_wstring(reinterpret_cast<std::uintptr_t>(host.pane())));
  const HWND show = FindChild(host.pane(), kShowClass, kStartTimeout);
  ASSERT_NE(show, nullptr) << "no show window in the pane";
  Pump(300ms);
  EXPECT_EQ(::GetParent(show), host.pane());
  EXPECT_TRUE(::GetWindowLongW(show, GWL_STYLE) & WS_CHILD);
  RECT client{};
  ::GetClientRect(show, &client);
  EXPECT_EQ(client.right, 152);
  EXPECT_EQ(client.bottom, 112);
  RECT onScreen{};
  RECT pane{};
  ::GetWindowRect(show, &onScreen);
  ::GetWindowRect(host.pane(), &pane);
  EXPECT_EQ(onScreen.left, pane.left);
  EXPECT_EQ(onScreen.top, pane.top);
  EXPECT_EQ(RunFlag(), 1);

  ClickMouseAt(pane.left + 30, pane.top + 30);
  MoveMouseTo(pane.left + 60, pane.top + 50);
  PressKey('A');
  Pump(800ms);
  EXPECT_TRUE(program.Running()) << "the preview must ignore input";

  host.DestroyPane();
  ExpectEndsCleanly(program);
}

TEST_F(Foundation, PreviewWithoutAUsableHandleEndsQuietly) {
  // The desktop window would make a screen-covering "preview" that ignores
  // all input and never ends.
  const std::wstring desktop =
      L"/p " + std::to_wstring(reinterpret_cast<std::uintptr_t>(::GetDesktopWindow()));
  for (const std::wstring& arguments :
       {std::wstring(L"/p"), std::wstring(L"/p abc"), std::wstring(L"/p 12x"),
        std::wstring(L"/p:4294967295"), desktop}) {
    SCOPED_TRACE(::testing::PrintToString(arguments));
    Program program(arguments);
    ExpectEndsCleanly(program);
    EXPECT_EQ(program.WaitForMessageBox(0ms), nullptr);
  }
}

TEST_F(Foundation, OnlyDesktopOneBeginsOnTheDesktopSnapshot) {
  const COLORREF patchColour = RGB(0xE0, 0x30, 0xA0);
  const COLORREF background = RGB(64, 0, 64);
  const COLORREF emptyDesktop = RGB(0, 0, 0);  // the virtual screen's bare root window
  struct Case {
    std::uint8_t desktop;
    COLORREF atPatch;
    COLORREF besidePatch;
  };
  const Case cases[] = {
      {1, patchColour, emptyDesktop},
      {0, background, background},
      {2, background, background},  // a grey check box: not on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.desktop);
    WriteBinary(L"Settings", L"Desktop", {c.desktop, 0});
    std::optional<Program> program;
    {
      ColourPatch patch({100, 100, 300, 250}, patchColour);
      ASSERT_EQ(ScreenPixel(200, 175), patchColour) << "the patch is not on screen";
      program.emplace(L"/s");
      ASSERT_NE(StartShow(*program), nullptr);
    }
    Pump(300ms);  // the patch is gone: what remains is the show's own picture
    EXPECT_EQ(ScreenPixel(200, 175), c.atPatch);
    EXPECT_EQ(ScreenPixel(600, 500), c.besidePatch);
    PressKey(VK_SPACE);
    ExpectEndsCleanly(*program);
  }
}

TEST_F(Foundation, FlagsKeyThatCannotBeCreatedStopsTheStartWithAMessage) {
  UseVolatileKeys({});
  Program program(L"/s");
  const HWND box = program.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowText(box), L"Ruzir");
  EXPECT_EQ(MessageBoxText(box), kLoadFailed);
  EXPECT_EQ(program.WaitForTopWindow(kShowClass, 0ms), nullptr);
  ClickButton(box, IDOK);
  EXPECT_NE(program.WaitForExit(), std::nullopt);
  EXPECT_FALSE(KeyExists(L"Flags"));
  EXPECT_FALSE(KeyExists(L"Settings"));
}

TEST_F(Foundation, SettingsKeyThatCannotBeCreatedStopsTheShowWithAMessageAndKeepsTheFlag) {
  UseVolatileKeys({L"Flags"});
  Program program(L"/s");
  const HWND box = program.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), kLoadFailed);
  EXPECT_EQ(program.WaitForTopWindow(kShowClass, 0ms), nullptr);
  ClickButton(box, IDOK);
  EXPECT_NE(program.WaitForExit(), std::nullopt);
  EXPECT_EQ(RunFlag(), 1);  // ended at once: the flag stays set
}

TEST_F(Foundation, FlagsKeyLostDuringTheShowIsReportedAtTheEnd) {
  UseVolatileKeys({L"Flags", L"Settings"});
  Program program(L"/s");
  ASSERT_NE(StartShow(program), nullptr);
  DeleteKey(L"Flags");
  PressKey(VK_SPACE);
  const HWND box = program.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), kLoadFailed);
  ClickButton(box, IDOK);
  EXPECT_NE(program.WaitForExit(), std::optional<DWORD>(0));
}

// What the screen-saver host and Explorer read from the file itself.
TEST(Resources, NameIconManifestAndVersionRecord) {
  const std::wstring path = ExecutableFolder() + L"ruzir.scr";
  const HMODULE module = ::LoadLibraryExW(
      path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr);
  wchar_t description[64] = {};
  ::LoadStringW(module, 1, description, static_cast<int>(std::size(description)));
  EXPECT_STREQ(description, L"Ruzir");  // string 1: the name the host lists
  EXPECT_NE(::FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST), nullptr);
  EXPECT_NE(::FindResourceW(module, MAKEINTRESOURCEW(100), RT_GROUP_ICON), nullptr);
  ::FreeLibrary(module);

  const auto record = win32::ReadVersionRecord(path);
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ(record->strings.at(L"CompanyName"), L"Zedozud Uravovuv");
  EXPECT_EQ(record->strings.at(L"LegalCopyright"), L"Copyright (C) 2026");
  EXPECT_EQ(record->strings.at(L"ProductName"), L"Ruzir");
  EXPECT_EQ(record->strings.at(L"OriginalFilename"), L"ruzir.scr");
}

}  // namespace
}  // namespace ruzir::e2e

// End-to-end tests of the show, started as the screen-saver host starts it:
// full screen and its end, the single-copy rule, the preview, the starts that
// end before any window, and a transition on the real screen. Sizes are
// those of the main run's 1024 x 768 screen at 96 DPI, where a picture's
// longer side is 0.6 x 768 = 460.8, so 461 pixels, and a drift step is 2
// pixels across and 1 down.
#include "tests/e2e/driver.h"

namespace ruzir::e2e {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBackground = RGB(64, 0, 64);  // the default

using Show = Fresh;

// The show covers the screen above every window, hides the cursor, draws
// what it is set to, and ends at the first input (a cursor that stays put
// is none), clearing its run flag. Loading never writes a setting: a first
// run leaves an empty "Settings" key.
TEST_F(Show, FullScreenDrawsWhatItIsSetToAndEndsAtTheFirstInput) {
  struct Case {
    const char* name;
    std::size_t padding;  // of the picture folder's name
    void (*prepare)(Folder&);
    bool (*drawn)(const Shot&);
    void (*end)();
  };
  const Case cases[] = {
      {"first run over a stale flag: the pictures beside the program; a modifier key", 0,
       [](Folder&) { Store(L"Active", Short(1), L"Flags"); },
       [](const Shot& s) { return s.At(5, 5) == kBackground && s.At(512, 384) != kBackground; },
       [] { PressKey(VK_SHIFT); }},
      {"a 1600 x 1000 JPEG on a stored colour, from the centre down and right; a click", 0,
       [](Folder& folder) {
         folder.Copy(ProgramFolder() + L"dusk-hills.jpg", L"dusk.jpg");
         Store(L"BackColor", {REG_BINARY, {0x20, 0xC0, 0x60, 0}});
       },
       [](const Shot& s) {
         const auto [count, box] = s.Find(RGB(0x20, 0xC0, 0x60), false);  // at (282 + 2k, 240 + k)
         return count == Area(box) && box.right - box.left == 461 && box.bottom - box.top == 288 &&
                box.top > 240 && box.left - 282 == 2 * (box.top - 240);
       },
       [] {
         Click({700, 600});
       }},
      {"after-images on the (black) desktop from a folder past 260 characters; a move", 235,
       [](Folder& folder) {
         folder.Add(L"red.bmp", Bmp(300, 600, kRed, kRed));
         Store(L"Desktop", Short(1));
         Store(L"Gost", Short(1));
       },
       [](const Shot& s) { return s.At(5, 5) == 0 && s.Find(kRed).first > 2 * 230 * 461; },
       [] {
         MoveMouse({600, 500});
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteKeys();
    Folder folder(c.padding);
    c.prepare(folder);
    if (ValueCount()) Store(L"Path", String(folder.path()));
    const auto stored = ValueCount();
    MoveMouse({512, 700});
    Program program(L"/s");
    const HWND show = program.Window(L"RuzirShow");
    ASSERT_NE(show, nullptr);
    MoveMouse({512, 700});  // a mouse message without a move
    const RECT screen{0, 0, 1024, 768};
    EXPECT_TRUE(Same(RectOf(show), screen));
    EXPECT_TRUE(::GetWindowLongW(show, GWL_EXSTYLE) & WS_EX_TOPMOST);
    CURSORINFO cursor{};
    cursor.cbSize = sizeof(cursor);
    EXPECT_TRUE(::GetCursorInfo(&cursor) && !(cursor.flags & CURSOR_SHOWING));
    EXPECT_EQ(RunFlag(), Short(1));
    EXPECT_TRUE(WaitFor([&] { return c.drawn(Shot()); }));
    c.end();
    EXPECT_EQ(program.Exit(), 0u);
    EXPECT_EQ(RunFlag(), Short(0));
    EXPECT_EQ(ValueCount(), stored.value_or(0));
  }
}

// While one copy runs, another ends at once, whatever it was asked to do.
TEST_F(Show, ASecondCopyEndsSilentlyWhileOneRuns) {
  Program first(L"/s");
  ASSERT_NE(first.Window(L"RuzirShow"), nullptr);
  for (const wchar_t* arguments : {L"/S", L"/c"}) EXPECT_EQ(Program(arguments).Exit(), 0u);
  EXPECT_EQ(RunFlag(), Short(1));
  PressKey('A');
  EXPECT_EQ(first.Exit(), 0u);
  EXPECT_EQ(RunFlag(), Short(0));
}

// The preview lives in the host's pane, as large, draws one picture scaled
// to it and still, ignores input and ends with the pane.
TEST_F(Show, PreviewLivesInThePaneAndEndsWithIt) {
  Folder folder;
  folder.Add(L"red.bmp", Bmp(300, 600, kRed, kRed));
  Store(L"Path", String(folder.path()));
  const HWND host = ::CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 40, 40, 192, 152,
                                      nullptr, nullptr, nullptr, nullptr);
  const HWND pane = ::CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 20, 20, 152, 112,
                                      host, nullptr, nullptr, nullptr);
  Program program(L"/p " + std::to_wstring(reinterpret_cast<std::uintptr_t>(pane)));
  const HWND show = WaitFor([&] { return Find(L"RuzirShow", pane, 0, nullptr); });
  ASSERT_NE(show, nullptr);
  EXPECT_TRUE(Same(RectOf(show), RectOf(pane)));
  EXPECT_EQ(RunFlag(), Short(1));
  // Under Wine a child of another process's window is never drawn on the
  // screen: the test makes it a window of its own for a look.
  const LONG style = ::GetWindowLongW(show, GWL_STYLE);
  ::SetWindowLongW(show, GWL_STYLE, (style & ~WS_CHILD) | WS_POPUP);
  ::SetParent(show, nullptr);
  ::SetWindowPos(show, HWND_TOPMOST, 600, 500, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  ::InvalidateRect(show, nullptr, FALSE);
  const RECT picture{659, 522, 693, 589};  // 33.6 x 67.2, centred in 152 x 112
  const auto still = [&] {
    const auto [count, box] = Shot().Find(kRed);
    return count == Area(picture) && Same(box, picture);
  };
  EXPECT_TRUE(WaitFor(still));
  Click({610, 505});
  PressKey('A');
  EXPECT_FALSE(WaitFor([&] { return !still() || !program.Running(); }, 1s));
  ::SetWindowLongW(show, GWL_STYLE, style);
  ::SetParent(show, pane);
  ::DestroyWindow(host);
  EXPECT_EQ(program.Exit(), 0u);
  EXPECT_EQ(RunFlag(), Short(0));
}

// Starts that end before any window: quietly for a preview with nowhere to
// live, with the program's message when it has nothing to show.
TEST_F(Show, StartsThatEndBeforeAnyWindow) {
  struct Case {
    const char* name;
    std::wstring arguments;
    void (*prepare)(Folder&);
    const wchar_t* message;  // null: none
  };
  const auto desktop = reinterpret_cast<std::uintptr_t>(::GetDesktopWindow());
  const Case cases[] = {
      {"the desktop as the pane", L"/p " + std::to_wstring(desktop), [](Folder&) {}, nullptr},
      {"no window as the pane", L"/p:4294967295", [](Folder&) {}, nullptr},
      {"nothing to show", L"/s",
       [](Folder& folder) {
         folder.Add(L"hidden.bmp", Bmp(50, 50, kRed, kRed), FILE_ATTRIBUTE_HIDDEN);
         folder.Add(L"picture.png", Bmp(50, 50, kRed, kRed));
         folder.Add(L"folder.jpg", {}, FILE_ATTRIBUTE_DIRECTORY);
         folder.Add(L"empty.jpg", {});
         folder.Add(L"text.bmp", {'B', 'M', 'n', 'o'});
         folder.Add(L"huge.bmp", Bmp(16, 16, kRed, kRed, 60000));  // 14 GB of pixels
         Store(L"Path", String(folder.path()));
       },
       L"画像ファイル取得エラー"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteKeys();
    Folder folder;
    c.prepare(folder);
    Program program(c.arguments);
    if (c.message) {
      const HWND box = program.Window(L"#32770", IsMessageBox);
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(Text(box) + L": " + Text(box, 0xFFFF), L"Ruzir: " + std::wstring(c.message));
      EXPECT_EQ(Find(L"RuzirShow", nullptr, 0, nullptr), nullptr);
      Press(box, IDOK);
    }
    EXPECT_EQ(program.Exit(), c.message ? 1u : 0u);
    EXPECT_EQ(RunFlag(), Short(0));
  }
}

// A change every second, with effects drawn at random, among files that
// cannot be loaded: screenshots catch the pieces apart (the picture's colour
// no longer fills the rectangle around it), and a key ends the show there.
TEST_F(Show, TransitionPiecesFlyAcrossTheScreenAndAKeyEndsTheShowThere) {
  Folder folder;
  folder.Add(L"red.bmp", Bmp(300, 600, kRed, kRed));
  folder.Add(L"empty.jpg", {});
  folder.Add(L"huge.bmp", Bmp(16, 16, kRed, kRed, 60000));
  Store(L"Path", String(folder.path()));
  Store(L"Interval", Short(1));
  MoveMouse({512, 700});
  Program program(L"/s");
  EXPECT_TRUE(WaitFor([] {
    const auto [count, box] = Shot().Find(kRed);
    return count > 0 && count < Area(box) * 9 / 10;
  }));
  PressKey(VK_SPACE);
  EXPECT_EQ(program.Exit(), 0u);
  EXPECT_EQ(RunFlag(), Short(0));
}

}  // namespace
}  // namespace ruzir::e2e

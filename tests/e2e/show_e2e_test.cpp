// End-to-end tests of the show as the screen-saver host starts it: full
// screen and its end, one copy at a time, the preview, and the starts that
// end before any window. On the 1024 x 768 screen at 96 DPI of the run a
// picture's longer side is 0.6 x 768 = 460.8, so 461 pixels, and a drift
// step is 2 pixels across and 1 down.

#include "tests/e2e/driver.h"

namespace ruzir::e2e {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBackground = RGB(64, 0, 64);  // the default

std::wstring TestPicture(const wchar_t* n) { return ProgramFolder() + L"test-pictures\\" + n; }
bool Reddish(COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) < 60 && GetBValue(c) < 60; }
bool Bluish(COLORREF c) { return GetBValue(c) > 200 && GetRValue(c) < 60 && GetGValue(c) < 60; }

// The test picture `name` alone in `folder`, shown still.
void Only(Folder& folder, const wchar_t* name) {
  folder.Copy(TestPicture(name), name);
  Store(L"Break", Short(0));
}
// A 200 x 400 picture, red over blue, upright at 230 x 461 from (397, 153)
// on; lying, or another frame, it would look otherwise.
bool RedOverBlue(const Shot& s) {
  return Reddish(s.At(512, 200)) && Bluish(s.At(512, 560)) && s.At(330, 384) == kBackground;
}

using Show = Fresh;

// The show covers the screen above every window, hides the cursor, draws
// what it is set to, transitions included, pictures of every format the
// system decodes by their content, and ends at the first input (a
// cursor that stays put is none), clearing its run flag. While it runs, a
// second copy ends at once, whatever it was asked to do. Loading never
// writes a setting: a first run leaves an empty "Settings" key.
TEST_F(Show, FullScreenDrawsWhatItIsSetToAndEndsAtTheFirstInput) {
  // The padding of the picture folder's name, what is stored, what is drawn, how it ends.
  using Case =
      std::tuple<const char*, std::size_t, void (*)(Folder&), bool (*)(const Shot&), void (*)()>;
  const Case cases[] = {
      {"first run over a stale flag: the pictures beside the program; a modifier key", 0,
       [](Folder&) { Store(L"Active", Short(1), L"Flags"); },
       [](const Shot& s) { return s.At(5, 5) == kBackground && s.At(512, 384) != kBackground; },
       [] { Keys({VK_SHIFT}); }},
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
       [] { Click(700, 600); }},
      {"after-images on the (black) desktop from a folder past 260 characters; a move", 235,
       [](Folder& folder) {
         folder.Add(L"red.bmp", Bmp(300, 600));
         Store(L"Desktop", Short(1));
         Store(L"Gost", Short(1));
       },
       [](const Shot& s) { return s.At(5, 5) == 0 && s.Find(kRed).first > 2 * 230 * 461; },
       [] { Mouse(600, 500); }},
      {"a change every second among files that cannot be loaded: pieces apart; a key", 0,
       [](Folder& folder) {
         folder.Add(L"red.bmp", Bmp(300, 600));
         folder.Add(L"empty.jpg", {});
         folder.Add(L"huge.bmp", Bmp(16, 16, 60000));  // 14 GB of pixels
         Store(L"Interval", Short(1));
       },
       [](const Shot& s) {  // the picture's colour does not fill the rectangle around it
         const auto [count, box] = s.Find(kRed);
         return count > 0 && count < Area(box) * 9 / 10;
       },
       [] { Keys({VK_SPACE}); }},
      {"a photo stored on its side, red left of blue, stands upright: red on top; a letter", 0,
       [](Folder& folder) { Only(folder, L"turned.jpg"); }, RedOverBlue, [] { Keys(L"A"); }},
      {"a PNG", 0, [](Folder& folder) { Only(folder, L"upright.png"); }, RedOverBlue,
       [] { Keys(L"B"); }},
      {"a GIF's first frame", 0, [](Folder& folder) { Only(folder, L"upright.gif"); }, RedOverBlue,
       [] { Keys(L"C"); }},
      {"a TIFF's first page", 0, [](Folder& folder) { Only(folder, L"upright.tif"); }, RedOverBlue,
       [] { Keys(L"D"); }},
      {"a PNG named .jpg", 0, [](Folder& folder) { Only(folder, L"png-named.jpg"); }, RedOverBlue,
       [] { Keys(L"E"); }}};
  for (const auto& [name, padding, prepare, drawn, end] : cases) {
    SCOPED_TRACE(name);
    DeleteKeys();
    Folder folder(padding);
    prepare(folder);
    if (ValueCount()) Store(L"Path", String(folder.path));  // all but the first run
    const auto stored = ValueCount();
    Mouse(512, 700);
    Program program(L"/s");
    const HWND show = program.Window(L"RuzirShow");
    ASSERT_NE(show, nullptr);
    Mouse(512, 700);  // a mouse message without a move
    EXPECT_TRUE(Same(RectOf(show), {0, 0, 1024, 768}));
    EXPECT_TRUE(::GetWindowLongW(show, GWL_EXSTYLE) & WS_EX_TOPMOST);
    CURSORINFO cursor{};
    cursor.cbSize = sizeof(cursor);
    EXPECT_TRUE(::GetCursorInfo(&cursor) && !(cursor.flags & CURSOR_SHOWING));
    for (const wchar_t* again : {L"/S", L"/c"}) EXPECT_EQ(Program(again).Exit(), 0u);
    EXPECT_EQ(RunFlag(), Short(1));
    EXPECT_TRUE(WaitFor([&] { return drawn(Shot()); }));
    end();
    EXPECT_EQ(program.Exit(), 0u);
    EXPECT_EQ(RunFlag(), Short(0));
    EXPECT_EQ(ValueCount(), stored.value_or(0));
  }
}

// Camera photos never hold the show up: its window, on the background, comes
// before its first picture, and a key ends it while that loads. How fast,
// and how the screen moves on while photos change, bench/show-bench.sh times.
TEST_F(Show, CameraPhotosNeverHoldTheShowUp) {
  Folder photos;
  for (const wchar_t* name : {L"camera-a.jpg", L"camera-b.jpg"})
    photos.Copy(TestPicture(name), name);
  Store(L"Path", String(photos.path));
  Program program(L"/s");
  EXPECT_TRUE(program.Window(L"RuzirShow") &&
              WaitFor([] { return Shot().Find(kBackground, false).first == 0; }));
  Keys({VK_SPACE});
  EXPECT_EQ(program.Exit(), 0u);
}

// The preview lives in the host's pane, as large, and ends with it. (Under
// Wine a child of another process's window is never drawn on the screen.)
TEST_F(Show, PreviewLivesInThePaneAndEndsWithIt) {
  win32::unique_hwnd host(::CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 40, 40, 192,
                                            152, nullptr, nullptr, nullptr, nullptr));
  const HWND pane = ::CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 20, 20, 152, 112,
                                      host.get(), nullptr, nullptr, nullptr);
  Program program(L"/p " + std::to_wstring(reinterpret_cast<std::uintptr_t>(pane)));
  const HWND show = WaitFor([&] { return Find(L"RuzirPreview", pane, 0, nullptr); });
  ASSERT_NE(show, nullptr);
  EXPECT_TRUE(Same(RectOf(show), RectOf(pane)));
  EXPECT_EQ(RunFlag(), Short(1));
  host.reset();
  EXPECT_EQ(program.Exit(), 0u);
  EXPECT_EQ(RunFlag(), Short(0));
}

// Starts that end with no show: quietly for a preview with nowhere to live,
// with the program's message, once the show's window has gone, when not one
// file of the folder can be loaded.
TEST_F(Show, StartsThatEndWithNoShow) {
  Folder folder;
  folder.Add(L"hidden.bmp", Bmp(50, 50), FILE_ATTRIBUTE_HIDDEN);
  folder.Add(L"notes.gif", {'n', 'o', 't', 'e', 's'});
  folder.Add(L"empty.jpg", {});
  folder.Add(L"text.bmp", {'B', 'M', 'n', 'o'});
  folder.Add(L"huge.bmp", Bmp(16, 16, 60000));
  Store(L"Path", String(folder.path));
  const auto desktop = reinterpret_cast<std::uintptr_t>(::GetDesktopWindow());
  const std::pair<std::wstring, const wchar_t*> cases[] = {
      {L"/p " + std::to_wstring(desktop), nullptr},
      {L"/p:4294967295", nullptr},  // no window
      {L"/s", L"画像ファイル取得エラー"}};
  for (const auto& [arguments, message] : cases) {
    SCOPED_TRACE(::testing::PrintToString(arguments));
    Program program(arguments);
    if (message) {
      const HWND box = program.Window(L"#32770", IsMessageBox);
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(Text(box) + L": " + Text(box, 0xFFFF), L"Ruzir: " + std::wstring(message));
      EXPECT_EQ(Find(L"RuzirShow", nullptr, 0, nullptr), nullptr);
      Press(box, IDOK);
    }
    EXPECT_EQ(program.Exit(), message ? 1u : 0u);
    EXPECT_EQ(RunFlag(), Short(0));
  }
}

}  // namespace
}  // namespace ruzir::e2e

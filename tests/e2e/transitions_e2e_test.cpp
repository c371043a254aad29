// End-to-end tests of the transitions: pieces in flight on the real screen
// for each effect, and input ending the show in the middle of one.
#include <gtest/gtest.h>

#include "tests/e2e/driver.h"
#include "tests/e2e/pictures.h"

namespace ruzir::e2e {
namespace {

constexpr wchar_t kShowClass[] = L"RuzirShow";
constexpr COLORREF kRed = RGB(255, 0, 0);

// The picture's colour is on screen but does not fill the rectangle around
// it the way a whole picture does: its pieces are apart.
bool PiecesInFlight(const Screenshot& screen) {
  const auto bounds = screen.Bounds(kRed, 0);
  if (!bounds) return false;
  const long area = (bounds->right - bounds->left) * (bounds->bottom - bounds->top);
  return screen.Count(kRed, 0) < area * 9 / 10;
}

class Transitions : public ::testing::Test {
 protected:
  void SetUp() override { DeleteProgramKeys(); }
  void TearDown() override { DeleteProgramKeys(); }
};

// With one picture changing every second, screenshots catch each effect in
// flight; a key pressed right then ends the show at once, flag cleared.
TEST_F(Transitions, EachEffectShowsPiecesInFlightAndAKeyEndsItThere) {
  struct Case {
    const char* name;
    int effect;
  };
  const Case cases[] = {{"diffuse", 1}, {"vertical slide", 2}, {"horizontal slide", 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PictureFolder folder;
    folder.AddBmp(L"red.bmp", 300, 600, kRed);
    UsePictureFolder(folder);
    SetShortSetting(L"Interval", 1);
    SetShortSetting(L"Break", c.effect);
    Program program(L"/s");
    ASSERT_NE(program.WaitForTopWindow(kShowClass), nullptr);
    bool caught = false;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!caught && std::chrono::steady_clock::now() < deadline) {
      caught = PiecesInFlight(Screenshot());
    }
    if (caught) PressKey(VK_SPACE);
    EXPECT_TRUE(caught) << "no screenshot showed pieces apart";
    EXPECT_EQ(program.WaitForMessageBox(0ms), nullptr);
    if (!caught) PressKey(VK_SPACE);
    EXPECT_EQ(program.WaitForExit(2s), std::optional<DWORD>(0));
    EXPECT_EQ(RunFlag(), 0);
  }
}

}  // namespace
}  // namespace ruzir::e2e

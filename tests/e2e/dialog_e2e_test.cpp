// End-to-end tests of the settings dialog, driving the real dialog the way a
// user does: reading its controls, clicking, typing, and checking what lands
// in the registry.
#include <gtest/gtest.h>

#include <algorithm>

#include "resources/resource.h"
#include "tests/e2e/driver.h"
#include "tests/e2e/pictures.h"

namespace ruzir::e2e {
namespace {

constexpr wchar_t kOverSixty[] = L"60秒以内の数字を入力してください。";
constexpr wchar_t kNotANumber[] = L"数字を入力してください。";
constexpr wchar_t kFolderMissing[] = L"指定されたフォルダは存在しません。";

class Dialog : public ::testing::Test {
 protected:
  // A folder that exists, stored as the picture folder, and nothing else.
  void SetUp() override { Reset(); }
  void Reset() {
    DeleteProgramKeys();
    UsePictureFolder(folder_);
  }
  void TearDown() override { DeleteProgramKeys(); }

  static HWND Open(const Program& program) {
    const HWND dialog = program.WaitForSettingsDialog();
    EXPECT_NE(dialog, nullptr) << "no settings dialog";
    Pump(200ms);
    return dialog;
  }

  // Puts the caret in a text field with a real click and selects its text,
  // so that typing replaces it.
  static void SelectField(HWND dialog, int id) {
    ClickControl(dialog, id);
    Pump(100ms);
    ::SendMessageW(::GetDlgItem(dialog, id), EM_SETSEL, 0, -1);
  }

  // The text of the message box the program shows now, answered with OK;
  // empty when none is shown.
  static std::wstring AnswerMessage(const Program& program, Millis timeout = 1s) {
    const HWND box = program.WaitForMessageBox(timeout);
    if (!box) return {};
    const std::wstring text = MessageBoxText(box);
    ClickButton(box, IDOK);
    Pump(200ms);
    return text;
  }

  static void PressOk(HWND dialog, const Program& program) {
    ClickButton(dialog, IDOK);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(RunFlag(), 0);
  }

  static void PressCancel(HWND dialog, const Program& program) {
    ClickButton(dialog, IDCANCEL);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
  }

  static std::optional<int> StoredShort(const wchar_t* name) {
    const auto value = ReadValue(L"Settings", name);
    if (!value || value->bytes.size() != 2) return std::nullopt;
    return static_cast<std::int16_t>(value->bytes[0] | (value->bytes[1] << 8));
  }

  PictureFolder folder_;
};

TEST_F(Dialog, OpensCentredWithTheStoredValuesAndItsCaptions) {
  SetShortSetting(L"Break", 2);
  SetShortSetting(L"Interval", 15);
  SetShortSetting(L"Desktop", 1);
  WriteBinary(L"Settings", L"BackColor", {0x20, 0x80, 0xC0, 0});
  Program program(L"");
  const HWND dialog = Open(program);
  ASSERT_NE(dialog, nullptr);

  RECT client{};
  ::GetClientRect(dialog, &client);
  EXPECT_EQ(client.right, 369);  // 5535 x 3300 twips at 96 DPI
  EXPECT_EQ(client.bottom, 220);
  RECT frame{};
  ::GetWindowRect(dialog, &frame);
  EXPECT_NEAR((frame.left + frame.right) / 2, 1024 / 2, 1);
  EXPECT_NEAR((frame.top + frame.bottom) / 2, 768 / 2, 1);
  EXPECT_EQ(::GetWindow(dialog, GW_OWNER), nullptr);

  EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDC_TXT_PATH)), folder_.path());
  for (int i = 0; i <= 4; ++i) EXPECT_EQ(IsChecked(dialog, IDC_OPT_PATAN0 + i), i == 2) << i;
  EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDC_TXT_TIME)), L"15");
  EXPECT_TRUE(IsChecked(dialog, IDC_CHK_DESKTOP));
  EXPECT_FALSE(IsChecked(dialog, IDC_CHK_GOST));
  EXPECT_EQ(FocusOf(dialog), ::GetDlgItem(dialog, IDC_TXT_PATH));

  const std::pair<int, const wchar_t*> captions[] = {
      {IDC_FRA_PATH, L"画像ファイルの場所"},
      {IDC_CMD_BROWSE, L"参照"},
      {IDC_FRAME1, L"効果"},
      {IDC_OPT_PATAN0, L"なし"},
      {IDC_OPT_PATAN0 + 1, L"拡散する"},
      {IDC_OPT_PATAN0 + 2, L"縦スライド"},
      {IDC_OPT_PATAN0 + 3, L"横スライド"},
      {IDC_OPT_PATAN0 + 4, L"ランダム"},
      {IDC_FRA_TIME, L"画像表示時間"},
      {IDC_LABEL1, L"秒"},
      {IDC_FRA_BACKGROUND, L"背景"},
      {IDC_LBL_COLORTEXT, L"背景色"},
      {IDC_CMD_COLOR, L"色の選択"},
      {IDC_CHK_DESKTOP, L"デスクトップを使う"},
      {IDC_CHK_GOST, L"残像を残す"},
      {IDOK, L"OK"},
      {IDCANCEL, L"ｷｬﾝｾﾙ"},
      {IDC_LBL_COMMENT, L"Copyright (C) 2026 Zedozud Uravovuv Ver.1.0.0"},
  };
  for (const auto& [id, caption] : captions) {
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, id)), caption) << id;
  }

  // The swatch in the stored colour (away from the word on it), the word
  // in its complement.
  RECT swatch{};
  ::GetWindowRect(::GetDlgItem(dialog, IDC_LBL_BACKCOLOR), &swatch);
  EXPECT_EQ(ScreenPixel(swatch.left + 3, swatch.top + 3), RGB(0x20, 0x80, 0xC0));
  RECT word{};
  ::GetWindowRect(::GetDlgItem(dialog, IDC_LBL_COLORTEXT), &word);
  const Screenshot screen;
  int inverted = 0;
  for (int y = word.top; y < word.bottom; ++y) {
    for (int x = word.left; x < word.right; ++x) {
      inverted += screen.Matches(x, y, RGB(0xDF, 0x7F, 0x3F), 0) ? 1 : 0;
    }
  }
  EXPECT_GT(inverted, 10) << "the word is drawn in the swatch's complement";

  PressCancel(dialog, program);
}

TEST_F(Dialog, TabVisitsTheControlsInOrderAndEntersTheEffectsAtTheSelectedOne) {
  SetShortSetting(L"Break", 3);
  Program program(L"");
  const HWND dialog = Open(program);
  ASSERT_NE(dialog, nullptr);
  const int order[] = {IDC_TXT_PATH,  IDC_CMD_BROWSE,  IDC_OPT_PATAN0 + 3, IDC_TXT_TIME,
                       IDC_CMD_COLOR, IDC_CHK_DESKTOP, IDC_CHK_GOST,       IDOK,
                       IDCANCEL,      IDC_TXT_PATH};
  for (const int id : order) {
    EXPECT_EQ(::GetDlgCtrlID(FocusOf(dialog)), id);
    PressKey(VK_TAB);
    Pump(150ms);
  }
  EXPECT_EQ(program.WaitForMessageBox(0ms), nullptr);
  PressCancel(dialog, program);
}

// The dialog fills its own fields without the checks meant for the user.
TEST_F(Dialog, AStoredIntervalOverSixtyOpensWithoutAWarning) {
  SetShortSetting(L"Interval", 75);
  Program program(L"");
  const HWND dialog = Open(program);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(program.WaitForMessageBox(500ms), nullptr);
  EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDC_TXT_TIME)), L"75");
  PressOk(dialog, program);
  EXPECT_EQ(StoredShort(L"Interval"), 75);
}

// "Settings" lost while the dialog is open (and it cannot be made again):
// OK reports it, the dialog closes all the same and the flag is cleared.
TEST_F(Dialog, ASettingsKeyThatCannotBeOpenedAtOkIsReported) {
  DeleteProgramKeys();
  MakeVolatileBase({L"Flags", L"Settings"});
  UsePictureFolder(folder_);
  Program program(L"");
  const HWND dialog = Open(program);
  ASSERT_NE(dialog, nullptr);
  DeleteKey(L"Settings");
  // Enter in a folder field holding a missing folder: the one message is
  // about saving; the message box taking the focus checks no folder.
  SelectField(dialog, IDC_TXT_PATH);
  TypeText(folder_.path() + L"no-such-folder");
  PressKey(VK_RETURN);
  EXPECT_EQ(AnswerMessage(program, 5s), L"設定情報の保存に失敗しました。");
  EXPECT_EQ(AnswerMessage(program, 1s), L"");
  EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
  EXPECT_EQ(RunFlag(), 0);
  EXPECT_FALSE(KeyExists(L"Settings"));
}

TEST_F(Dialog, OkWritesExactlyTheSixValuesAndKeepsAnUnknownEffect) {
  SetShortSetting(L"Break", 7);
  SetShortSetting(L"Interval", 12);
  Program program(L"");
  const HWND dialog = Open(program);
  ASSERT_NE(dialog, nullptr);
  for (int i = 0; i <= 4; ++i) EXPECT_FALSE(IsChecked(dialog, IDC_OPT_PATAN0 + i)) << i;
  ClickButton(dialog, IDC_CHK_GOST);
  PressOk(dialog, program);

  auto names = ValueNames(L"Settings");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"BackColor", L"Break", L"Desktop", L"Gost",
                                              L"Interval", L"Path"}));
  const auto path = ReadValue(L"Settings", L"Path");
  ASSERT_TRUE(path.has_value());
  EXPECT_EQ(path->type, static_cast<DWORD>(REG_SZ));
  const auto colour = ReadValue(L"Settings", L"BackColor");
  ASSERT_TRUE(colour.has_value());
  EXPECT_EQ(colour->type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(colour->bytes, (std::vector<std::uint8_t>{64, 0, 64, 0}));
  for (const wchar_t* name : {L"Break", L"Interval", L"Desktop", L"Gost"}) {
    EXPECT_EQ(ReadValue(L"Settings", name)->type, static_cast<DWORD>(REG_BINARY)) << name;
  }
  EXPECT_EQ(StoredShort(L"Break"), 7);
  EXPECT_EQ(StoredShort(L"Interval"), 12);
  EXPECT_EQ(StoredShort(L"Desktop"), 0);
  EXPECT_EQ(StoredShort(L"Gost"), 1);
}

TEST_F(Dialog, TimeFieldWarnsAsItIsTypedAndOkSavesWhatItHolds) {
  struct Case {
    const char* name;
    std::vector<std::wstring> keystrokes;  // typed one after another
    std::vector<std::wstring> messages;    // one per keystroke, empty for none
    const wchar_t* field;
    int saved;
  };
  const Case cases[] = {
      {"75: a warning at the 5, saved all the same", {L"7", L"5"}, {L"", kOverSixty}, L"75", 75},
      {"a letter", {L"a"}, {kNotANumber}, L"a", 20},  // not a number: the interval stays
      {"full-width digits are narrowed", {L"１", L"５"}, {L"", L""}, L"15", 15},
      {"a half rounds to even", {L"2", L".", L"5"}, {L"", L"", L""}, L"2.5", 2},
      {"a minus sign alone warns first", {L"-", L"5"}, {kNotANumber, L""}, L"-5", -5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    Program program(L"");
    const HWND dialog = Open(program);
    ASSERT_NE(dialog, nullptr);
    SelectField(dialog, IDC_TXT_TIME);
    for (std::size_t i = 0; i < c.keystrokes.size(); ++i) {
      TypeText(c.keystrokes[i]);
      EXPECT_EQ(AnswerMessage(program, c.messages[i].empty() ? 300ms : 3s), c.messages[i]) << i;
    }
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDC_TXT_TIME)), c.field);
    EXPECT_EQ(FocusOf(dialog), ::GetDlgItem(dialog, IDC_TXT_TIME));
    PressOk(dialog, program);
    EXPECT_EQ(StoredShort(L"Interval"), c.saved);
  }
}

TEST_F(Dialog, AnEmptiedTimeFieldGetsTheLoadedIntervalBack) {
  SetShortSetting(L"Interval", 15);
  Program program(L"");
  const HWND dialog = Open(program);
  ASSERT_NE(dialog, nullptr);
  SelectField(dialog, IDC_TXT_TIME);
  TypeText(L"3");
  PressKey(VK_BACK);
  Pump(200ms);
  EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDC_TXT_TIME)), L"");
  PressKey(VK_TAB);
  Pump(300ms);
  EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDC_TXT_TIME)), L"15");
  EXPECT_EQ(program.WaitForMessageBox(0ms), nullptr);
  PressCancel(dialog, program);
}

TEST_F(Dialog, UpDownStepsBetweenOneAndSixty) {
  struct Case {
    int stored;
    bool up;
    const wchar_t* shown;
  };
  const Case cases[] = {{60, true, L"60"}, {1, false, L"1"}, {20, true, L"21"}, {20, false, L"19"}};
  for (const auto& c : cases) {
    SetShortSetting(L"Interval", c.stored);
    Program program(L"");
    const HWND dialog = Open(program);
    ASSERT_NE(dialog, nullptr);
    RECT arrows{};
    ::GetWindowRect(::GetDlgItem(dialog, IDC_UD_TIME), &arrows);
    const int x = (arrows.left + arrows.right) / 2;
    ClickMouseAt(x, c.up ? arrows.top + 3 : arrows.bottom - 3);
    Pump(300ms);
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDC_TXT_TIME)), c.shown) << c.stored;
    EXPECT_EQ(program.WaitForMessageBox(0ms), nullptr);
    PressCancel(dialog, program);
  }
}

TEST_F(Dialog, FolderFieldGainsItsBackslashAndReportsAMissingFolder) {
  std::wstring existing = folder_.path();
  existing.pop_back();  // without its backslash
  struct Case {
    std::wstring typed;
    std::wstring message;
  };
  const Case cases[] = {
      {existing, L""},
      {existing + L"\\no-such-folder", kFolderMissing},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.typed));
    Program program(L"");
    const HWND dialog = Open(program);
    ASSERT_NE(dialog, nullptr);
    SelectField(dialog, IDC_TXT_PATH);
    TypeText(c.typed);
    PressKey(VK_TAB);
    EXPECT_EQ(AnswerMessage(program, c.message.empty() ? 500ms : 3s), c.message);
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDC_TXT_PATH)), c.typed + L"\\");
    if (!c.message.empty()) {
      EXPECT_EQ(FocusOf(dialog), ::GetDlgItem(dialog, IDC_TXT_PATH));
    }
    ClickButton(dialog, IDCANCEL);
    AnswerMessage(program, 500ms);  // leaving the field again may warn again
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
  }
}

// Real clicks after a missing folder was typed. The warning is the dialog's
// own: owned by it, with the dialog disabled behind it.
TEST_F(Dialog, RealClicksAfterAMissingFolderTakeEffect) {
  const std::wstring missing = folder_.path() + L"no-such-folder";
  const auto answerOwnedWarning = [](const Program& program, HWND dialog) {
    const HWND box = program.WaitForMessageBox(3s);
    if (!box) return std::wstring();
    EXPECT_EQ(::GetWindow(box, GW_OWNER), dialog);
    EXPECT_FALSE(::IsWindowEnabled(dialog));
    const std::wstring text = MessageBoxText(box);
    ClickButton(box, IDOK);
    Pump(300ms);
    return text;
  };
  struct Case {
    int button;
    // After the click: what else the user does, and what must be seen.
    void (*then)(const Program&, HWND dialog, const std::wstring& missing);
  };
  const Case cases[] = {
      {IDCANCEL,
       [](const Program&, HWND, const std::wstring&) {
         // Closed at once, no warning and nothing saved (checked below).
       }},
      {IDC_CMD_BROWSE,
       [](const Program& program, HWND dialog, const std::wstring&) {
         const HWND browser = program.WaitForTopWindow(
             L"#32770",
             [](HWND w) {
               return WindowText(w) != kSettingsCaption && ::GetDlgItem(w, 0xFFFF) == nullptr;
             },
             5s);
         ASSERT_NE(browser, nullptr) << "the folder browser did not open";
         ::PostMessageW(browser, WM_COMMAND, IDCANCEL, 0);
         Pump(500ms);
         PressCancel(dialog, program);
       }},
      {IDOK,
       [](const Program& program, HWND dialog, const std::wstring& missing) {
         EXPECT_TRUE(::IsWindowEnabled(dialog));
         EXPECT_EQ(FocusOf(dialog), ::GetDlgItem(dialog, IDC_TXT_PATH));
         ClickControl(dialog, IDOK);  // told once: the second click saves
         EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
         const auto path = ReadValue(L"Settings", L"Path");
         ASSERT_TRUE(path.has_value());
         EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(path->bytes.data())),
                   missing + L"\\");
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.button);
    Reset();
    Program program(L"");
    const HWND dialog = Open(program);
    ASSERT_NE(dialog, nullptr);
    SelectField(dialog, IDC_TXT_PATH);
    TypeText(missing);
    ClickControl(dialog, c.button);
    if (c.button == IDCANCEL) {
      EXPECT_EQ(program.WaitForExit(3s), std::optional<DWORD>(0));
      EXPECT_EQ(ValueNames(L"Settings"), (std::vector<std::wstring>{L"Path"}));
    } else {
      EXPECT_EQ(answerOwnedWarning(program, dialog), kFolderMissing);
      c.then(program, dialog, missing);
    }
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(RunFlag(), 0);
  }
}

TEST_F(Dialog, EnterInTheFolderFieldSavesTheTextAsTyped) {
  Program program(L"");
  const HWND dialog = Open(program);
  ASSERT_NE(dialog, nullptr);
  SelectField(dialog, IDC_TXT_PATH);
  TypeText(L"Z:\\nowhere");
  PressKey(VK_RETURN);
  EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
  EXPECT_EQ(RunFlag(), 0);
  const auto path = ReadValue(L"Settings", L"Path");
  ASSERT_TRUE(path.has_value());
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(path->bytes.data())), L"Z:\\nowhere");
}

TEST_F(Dialog, CancelEscAndTheCloseBoxSaveNothing) {
  struct Case {
    const char* name;
    void (*close)(HWND);
  };
  const Case cases[] = {
      {"Cancel", [](HWND dialog) { ClickButton(dialog, IDCANCEL); }},
      {"Esc", [](HWND) { PressKey(VK_ESCAPE); }},
      {"close box", [](HWND dialog) { ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Program program(L"");
    const HWND dialog = Open(program);
    ASSERT_NE(dialog, nullptr);
    ClickButton(dialog, IDC_CHK_GOST);
    ClickButton(dialog, IDC_OPT_PATAN0 + 1);
    Pump(200ms);
    c.close(dialog);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(RunFlag(), 0);
    // Only the folder the test stored: nothing was written.
    EXPECT_EQ(ValueNames(L"Settings"), (std::vector<std::wstring>{L"Path"}));
  }
}

TEST_F(Dialog, TheFolderBrowserAndTheColourDialogOpenAndCancelCleanly) {
  WriteBinary(L"Settings", L"BackColor", {0x20, 0x80, 0xC0, 0});
  Program program(L"");
  const HWND dialog = Open(program);
  ASSERT_NE(dialog, nullptr);
  const auto otherDialog = [&]() -> HWND {
    return program.WaitForTopWindow(
        L"#32770", [](HWND w) { return WindowText(w) != kSettingsCaption; }, 5s);
  };
  for (const int button : {IDC_CMD_BROWSE, IDC_CMD_COLOR}) {
    SCOPED_TRACE(button);
    ClickButton(dialog, button);
    const HWND picker = otherDialog();
    ASSERT_NE(picker, nullptr) << "no picker opened";
    ::PostMessageW(picker, WM_COMMAND, IDCANCEL, 0);
    Pump(500ms);
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDC_TXT_PATH)), folder_.path());
  }
  RECT swatch{};
  ::GetWindowRect(::GetDlgItem(dialog, IDC_LBL_BACKCOLOR), &swatch);
  EXPECT_EQ(ScreenPixel(swatch.left + 3, swatch.top + 3), RGB(0x20, 0x80, 0xC0));
  PressCancel(dialog, program);
}

}  // namespace
}  // namespace ruzir::e2e

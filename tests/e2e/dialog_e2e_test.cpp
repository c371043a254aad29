// End-to-end tests of the settings dialog, driven as a user drives it: its
// controls and Japanese captions, OK writing the six values and Cancel none,
// and its warnings, message boxes of its own over the disabled dialog.
#include "resources/resource.h"
#include "tests/e2e/driver.h"

namespace ruzir::e2e {
namespace {

using Dialog = Fresh;

// Puts the caret in a field with a real click and types over its text,
// which then shows `shown`.
void TypeInto(HWND dialog, int id, const std::wstring& text, const std::wstring& shown = {}) {
  Click(dialog, id);
  EXPECT_TRUE(WaitFor([&] { return FocusOf(dialog) == ::GetDlgItem(dialog, id); }));
  ::SendMessageW(::GetDlgItem(dialog, id), EM_SETSEL, 0, -1);
  Keys(text, KEYEVENTF_UNICODE);
  EXPECT_TRUE(WaitFor([&] { return Text(dialog, id) == (shown.empty() ? text : shown); }));
}
// The selection of a field: its start and end.
std::pair<DWORD, DWORD> Selection(HWND dialog, int id) {
  std::pair<DWORD, DWORD> s;
  ::SendMessageW(::GetDlgItem(dialog, id), EM_GETSEL, WPARAM(&s.first), LPARAM(&s.second));
  return s;
}

// The warning shown now, answered with OK.
std::wstring Answer(const Program& program, HWND dialog) {
  const HWND box = program.Window(L"#32770", IsMessageBox);
  if (!box) return L"(none)";
  EXPECT_EQ(::GetWindow(box, GW_OWNER), dialog);
  EXPECT_FALSE(::IsWindowEnabled(dialog));
  const std::wstring text = Text(box, 0xFFFF);
  Press(box, IDOK);
  EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(dialog); }));
  return text;
}

// Started from a host's settings button, it is owned by the host's window,
// which waits disabled beneath it until it closes. It opens centred, with the
// stored values (an interval over 60 without a warning), its captions and
// the swatch in the stored colour; OK writes the six values with what the
// user changed.
TEST_F(Dialog, OpensWithTheStoredValuesAndOkWritesTheSixValues) {
  Folder folder;
  Store(L"Path", String(folder.path));
  Store(L"Break", Short(3));
  Store(L"Interval", Short(75));
  Store(L"Desktop", Short(1));
  Store(L"BackColor", {REG_BINARY, {0x20, 0x80, 0xC0, 0}});
  const win32::unique_hwnd host(::CreateWindowExW(0, L"STATIC", L"host", WS_VISIBLE, 0, 0, 200, 150,
                                                  nullptr, nullptr, nullptr, nullptr));
  Program program(L"/c:" + std::to_wstring(reinterpret_cast<std::uintptr_t>(host.get())));
  const HWND dialog = program.Dialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(::GetWindow(dialog, GW_OWNER) == host.get() && !::IsWindowEnabled(host.get()));
  const std::pair<DWORD, DWORD> whole(0, DWORD(folder.path.size()));  // where the focus starts
  EXPECT_TRUE(WaitFor([&] { return Selection(dialog, IDC_TXT_PATH) == whole; }));
  RECT client{};
  ::GetClientRect(dialog, &client);
  EXPECT_TRUE(client.right == 369 && client.bottom == 220);  // 5535 x 3300 twips
  const RECT frame = RectOf(dialog);
  EXPECT_NEAR(frame.left + frame.right, 1024, 1);
  EXPECT_NEAR(frame.top + frame.bottom, 768, 1);
  std::wstring shown;
  for (const int id :
       {IDC_TXT_TIME, IDC_FRA_PATH, IDC_CMD_BROWSE, IDC_FRAME1, IDC_OPT_PATAN0, IDC_OPT_PATAN0 + 1,
        IDC_OPT_PATAN0 + 2, IDC_OPT_PATAN0 + 3, IDC_OPT_PATAN0 + 4, IDC_FRA_TIME, IDC_LABEL1,
        IDC_FRA_BACKGROUND, IDC_LBL_COLORTEXT, IDC_CMD_COLOR, IDC_CHK_DESKTOP, IDC_CHK_GOST, IDOK,
        IDCANCEL, IDC_LBL_COMMENT}) {
    const bool checked = ::SendMessageW(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    shown += Text(dialog, id) + (checked ? L"*|" : L"|");
  }
  EXPECT_EQ(shown,
            L"75|画像ファイルの場所|参照|効果|なし|拡散する|縦スライド|横スライド*|ランダム|"
            L"画像表示時間|秒|背景|背景色|色の選択|デスクトップを使う*|残像を残す|OK|ｷｬﾝｾﾙ|"
            L"Copyright (C) 2026 Zedozud Uravovuv Ver.1.0.0|");
  EXPECT_EQ(Text(dialog, IDC_TXT_PATH), folder.path);
  const RECT swatch = RectOf(dialog, IDC_LBL_BACKCOLOR);
  EXPECT_TRUE(
      WaitFor([&] { return Shot().At(swatch.left + 2, swatch.top + 2) == RGB(0x20, 0x80, 0xC0); }));
  // The folder browser and the colour dialog open over it and cancel changing nothing.
  for (const int picker : {IDC_CMD_BROWSE, IDC_CMD_COLOR}) {
    Press(dialog, picker);
    const HWND opened = program.Window(L"#32770", [](HWND w) {
      return ::GetWindow(::GetWindow(w, GW_OWNER), GW_OWNER) != nullptr;
    });
    ASSERT_NE(opened, nullptr) << picker;
    EXPECT_EQ(::GetWindow(opened, GW_OWNER), dialog);
    ::PostMessageW(opened, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(dialog); }));
  }
  Press(dialog, IDC_OPT_PATAN0 + 1);
  Press(dialog, IDC_CHK_GOST);
  Press(dialog, IDOK);
  EXPECT_EQ(program.Exit(), 0u);
  EXPECT_TRUE(::IsWindowEnabled(host.get()));
  EXPECT_EQ(RunFlag(), Short(0));
  EXPECT_EQ(ValueCount(), 6u);
  // clang-format off
  const std::pair<const wchar_t*, Value> saved[] = {
      {L"Path", String(folder.path)}, {L"BackColor", {REG_BINARY, {0x20, 0x80, 0xC0, 0}}},
      {L"Break", Short(1)}, {L"Interval", Short(75)}, {L"Desktop", Short(1)}, {L"Gost", Short(1)}};
  // clang-format on
  for (const auto& [name, value] : saved) EXPECT_EQ(Read(name), value) << name;
}

// Started with no host's window, the dialog has no owner. The time field
// narrows and warns as it is typed in; left after typing and come back to,
// nothing in it is selected. A folder typed that does not exist, then a
// real click: Cancel closes at once and writes nothing; OK warns once (the
// field gaining its backslash) and saves both at the next click.
TEST_F(Dialog, TypedFieldsWarnAndCancelWritesNothing) {
  const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> times[] = {
      {L"75", L"75", L"60秒以内の数字を入力してください。"},
      {L"ア", L"ｱ", L"数字を入力してください。"}};
  for (const int button : {IDCANCEL, IDOK}) {
    SCOPED_TRACE(button);
    DeleteKeys();
    Folder folder;
    Store(L"Path", String(folder.path));
    Program program(L"");
    const HWND dialog = program.Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), nullptr);
    for (const auto& [text, shown, warning] : times) {
      TypeInto(dialog, IDC_TXT_TIME, text, shown);
      EXPECT_EQ(Answer(program, dialog), warning);  // then the focus goes back
      EXPECT_TRUE(WaitFor([&] { return FocusOf(dialog) == ::GetDlgItem(dialog, IDC_TXT_TIME); }));
    }
    TypeInto(dialog, IDC_TXT_TIME, L"４５", L"45");
    for (const BOOL previous : {FALSE, TRUE}) {  // Tab, then Shift+Tab
      const HWND to = ::GetDlgItem(dialog, previous ? IDC_TXT_TIME : IDC_CMD_COLOR);
      ::PostMessageW(dialog, WM_NEXTDLGCTL, previous, FALSE);
      EXPECT_TRUE(WaitFor([&] { return FocusOf(dialog) == to; }));
    }
    EXPECT_EQ(Selection(dialog, IDC_TXT_TIME), std::pair(2ul, 2ul));
    const std::wstring typed = folder.path + L"no-such-folder";
    TypeInto(dialog, IDC_TXT_PATH, typed);
    Click(dialog, button);
    if (button == IDOK) {
      EXPECT_EQ(Answer(program, dialog), L"指定されたフォルダは存在しません。");
      EXPECT_EQ(Text(dialog, IDC_TXT_PATH), typed + L"\\");
      Click(dialog, IDOK);
    }
    EXPECT_EQ(program.Exit(), 0u);
    EXPECT_EQ(RunFlag(), Short(0));
    EXPECT_EQ(ValueCount(), button == IDOK ? 6u : 1u);
    EXPECT_EQ(Read(L"Path"), String(button == IDOK ? typed + L"\\" : folder.path));
    EXPECT_EQ(Read(L"Interval"), button == IDOK ? std::optional(Short(45)) : std::nullopt);
  }
}

}  // namespace
}  // namespace ruzir::e2e

#include "dialog/win32/settings_dialog.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <array>
#include <string>

#include "resources/resource.h"
#include "support/texts.h"
#include "support/win32/folder_lookup.h"
#include "support/win32/message.h"
#include "support/win32/system_info.h"
#include "support/win32/version_info.h"

namespace ruzir::win32 {
namespace {

// Posted from a field's lost-focus notification, so that its check runs
// once the focus has settled and the check can see where it went.
constexpr UINT kPathLeft = WM_APP + 1;
constexpr UINT kTimeLeft = WM_APP + 2;
// Posted from a field's gained-focus notification, with the field's id, so
// that its selection comes after a click has placed the caret.
constexpr UINT kSelectToEnd = WM_APP + 3;

// While a mouse button that took the focus from the folder field is still
// down, the field's check waits; this timer looks again until it is up.
constexpr UINT_PTR kPathCheckTimer = 1;
constexpr UINT kPathCheckPollMs = 50;

constexpr float kClientWidth = 5535;  // twips: 369 x 220 pixels at 96 DPI
constexpr float kClientHeight = 3300;

// Where each control goes, in twips, relative to its frame (or the dialog).
struct Placement {
  int id;
  int frame;  // 0: the dialog itself
  float left, top, width, height;
};

constexpr Placement kLayout[] = {
    {IDC_FRA_PATH, 0, 120, 90, 5295, 765},
    {IDC_TXT_PATH, IDC_FRA_PATH, 120, 285, 4005, 285},
    {IDC_CMD_BROWSE, IDC_FRA_PATH, 4230, 225, 930, 390},
    {IDC_FRAME1, 0, 120, 960, 1395, 1500},
    {IDC_OPT_PATAN0, IDC_FRAME1, 165, 240, 1020, 210},
    {IDC_OPT_PATAN0 + 1, IDC_FRAME1, 165, 480, 1020, 210},
    {IDC_OPT_PATAN0 + 2, IDC_FRAME1, 165, 720, 1065, 210},
    {IDC_OPT_PATAN0 + 3, IDC_FRAME1, 165, 960, 1065, 210},
    {IDC_OPT_PATAN0 + 4, IDC_FRAME1, 165, 1200, 1065, 210},
    {IDC_FRA_TIME, 0, 1635, 960, 1365, 690},
    {IDC_TXT_TIME, IDC_FRA_TIME, 225, 270, 345, 270},
    {IDC_UD_TIME, IDC_FRA_TIME, 570, 270, 240, 270},
    {IDC_LABEL1, IDC_FRA_TIME, 885, 315, 225, 180},
    {IDC_FRA_BACKGROUND, 0, 3120, 960, 2295, 1515},
    {IDC_LBL_BACKCOLOR, IDC_FRA_BACKGROUND, 210, 285, 870, 330},
    {IDC_CMD_COLOR, IDC_FRA_BACKGROUND, 1155, 285, 1020, 315},
    {IDC_CHK_DESKTOP, IDC_FRA_BACKGROUND, 225, 705, 1665, 270},
    {IDC_CHK_GOST, IDC_FRA_BACKGROUND, 225, 1095, 1665, 270},
    {IDC_PICTURE1, 0, 120, 2520, 480, 480},
    {IDOK, 0, 1642, 2595, 1020, 405},
    {IDCANCEL, 0, 2872, 2595, 1020, 405},
};

const Placement& PlacementOf(int id) {
  for (const Placement& p : kLayout) {
    if (p.id == id) return p;
  }
  return kLayout[0];  // not reached: every placed control is in the table
}

// A control's left and top relative to the dialog, in twips.
TwipsRect DialogTwips(int id) {
  const Placement& p = PlacementOf(id);
  float left = p.left;
  float top = p.top;
  if (p.frame != 0) {
    left += PlacementOf(p.frame).left;
    top += PlacementOf(p.frame).top;
  }
  return {left, top, p.width, p.height};
}

// The 16 standard colours the colour dialog offers as custom colours.
constexpr std::array<COLORREF, 16> kCustomPalette = {
    RGB(0, 0, 0),       RGB(0, 0, 128),   RGB(0, 128, 0),   RGB(0, 128, 128),
    RGB(128, 0, 0),     RGB(128, 0, 128), RGB(128, 128, 0), RGB(192, 192, 192),
    RGB(128, 128, 128), RGB(0, 0, 255),   RGB(0, 255, 0),   RGB(0, 255, 255),
    RGB(255, 0, 0),     RGB(255, 0, 255), RGB(255, 255, 0), RGB(255, 255, 255),
};

// The dialog manager selects the whole of a text field that the keyboard
// moves to; the two fields choose their selection themselves, from where
// their caret was, so the manager is told they have none to set.
LRESULT CALLBACK KeepOwnSelection(HWND field, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR id, DWORD_PTR) noexcept {
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(field, &KeepOwnSelection, id);
  const LRESULT result = ::DefSubclassProc(field, message, wParam, lParam);
  return message == WM_GETDLGCODE ? result & ~static_cast<LRESULT>(DLGC_HASSETSEL) : result;
}

// The text with its full-width characters in their half-width forms, as the
// user's locale maps them (digits, signs, katakana); unchanged if the
// system cannot map it.
std::wstring HalfWidthForm(const std::wstring& text) {
  const int length = static_cast<int>(text.size());
  const auto map = [&](wchar_t* out, int size) {
    return ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_HALFWIDTH, text.c_str(), length, out,
                           size, nullptr, nullptr, 0);
  };
  const int size = length > 0 ? map(nullptr, 0) : 0;
  if (size <= 0) return text;
  std::wstring narrow(static_cast<std::size_t>(size), L'\0');
  return map(narrow.data(), size) == size ? narrow : text;
}

NumberFormat UserNumberFormat() noexcept {
  NumberFormat format;
  wchar_t text[8] = {};
  if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, text, 8) > 1) {
    format.decimal = text[0];
  }
  if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, text, 8) > 1) {
    format.group = text[0];
  }
  return format;
}

}  // namespace

void SettingsDialog::Run(HINSTANCE instance, HWND owner) noexcept {
  instance_ = instance;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  RunModal(instance, IDD_SETTINGS, owner);
}

INT_PTR SettingsDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      return TRUE;  // the focus goes to the first field, the folder's
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case kPathLeft:
      OnPathLeft();
      return TRUE;
    case kTimeLeft:
      OnTimeLeft();
      return TRUE;
    case kSelectToEnd:
      OnSelectToEnd(static_cast<int>(wParam));
      return TRUE;
    case WM_TIMER:
      if (wParam == kPathCheckTimer) OnPathCheckTimer();
      return TRUE;
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<INT_PTR>(
          OnColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    default:
      return FALSE;
  }
}

void SettingsDialog::OnInitDialog() noexcept {
  scale_ = ScreenTwipsScale();
  numbers_ = UserNumberFormat();
  PlaceControls();
  FillFields();
  for (const int id : {IDC_TXT_PATH, IDC_TXT_TIME}) {
    ::SetWindowSubclass(Item(id), &KeepOwnSelection, static_cast<UINT_PTR>(id), 0);
  }
}

void SettingsDialog::PlaceControls() noexcept {
  const auto px = [&](float twips, bool across) {
    return PixelsFromTwips(twips, across ? scale_.x : scale_.y);
  };
  for (const Placement& p : kLayout) {
    const TwipsRect r = DialogTwips(p.id);
    ::MoveWindow(Item(p.id), px(r.left, true), px(r.top, false), px(r.width, true),
                 px(r.height, false), FALSE);
  }

  // The two labels sized to their text in the dialog's font.
  const auto textSize = [&](int id) {
    SIZE size{};
    const std::wstring text = ItemText(id);
    if (const auto dc = GetClientDc(hwnd())) {
      const unique_select font(dc.get(),
                               reinterpret_cast<HGDIOBJ>(::SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
      ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    }
    return size;
  };
  const SIZE word = textSize(IDC_LBL_COLORTEXT);
  const TwipsRect swatch = DialogTwips(IDC_LBL_BACKCOLOR);
  const float wordWidth = TwipsFromPixels(word.cx, scale_.x);
  const float wordHeight = TwipsFromPixels(word.cy, scale_.y);
  ::MoveWindow(Item(IDC_LBL_COLORTEXT), px((swatch.width - wordWidth) / 2 + swatch.left, true),
               px((swatch.height - wordHeight) / 2 + swatch.top, false), word.cx, word.cy, FALSE);

  SetItemText(IDC_LBL_COMMENT, ReadAboutLine(ModulePath()));
  const SIZE about = textSize(IDC_LBL_COMMENT);
  ::MoveWindow(Item(IDC_LBL_COMMENT), px(120, true), px(3045, false), about.cx, about.cy, FALSE);

  const int iconSize = px(480, true);
  icon_.reset(static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(IDI_RUZIR), IMAGE_ICON,
                                              iconSize, iconSize, LR_DEFAULTCOLOR)));
  ::SendMessageW(Item(IDC_PICTURE1), STM_SETICON, reinterpret_cast<WPARAM>(icon_.get()), 0);
  ::MoveWindow(Item(IDC_PICTURE1), px(120, true), px(2520, false), iconSize, iconSize, FALSE);

  // The client area in twips, the frame around it, centred on the screen.
  const auto style = static_cast<DWORD>(::GetWindowLongW(hwnd(), GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(::GetWindowLongW(hwnd(), GWL_EXSTYLE));
  RECT frame{0, 0, px(kClientWidth, true), px(kClientHeight, false)};
  ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  ::SetWindowPos(hwnd(), nullptr, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void SettingsDialog::FillFields() noexcept {
  const Settings& s = loaded_.settings;
  filling_ = true;
  SetItemText(IDC_TXT_PATH, s.Path);
  // A stored number that names no pattern checks no button and is kept.
  if (const auto pattern = PatternFromStored(s.Break)) {
    ::CheckRadioButton(hwnd(), IDC_OPT_PATAN0, IDC_OPT_PATAN0 + StoredPattern(Effect::Random),
                       IDC_OPT_PATAN0 + StoredPattern(*pattern));
  }
  // The up-down control first: it writes its (clamped) value into the field,
  // which then gets the stored value itself.
  const HWND upDown = Item(IDC_UD_TIME);
  ::SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Item(IDC_TXT_TIME)), 0);
  ::SendMessageW(upDown, UDM_SETRANGE32, 1, 60);
  ::SendMessageW(upDown, UDM_SETPOS32, 0, s.Interval);
  SetItemText(IDC_TXT_TIME, std::to_wstring(s.Interval));
  SetSwatchColor(s.BackColor);
  ::CheckDlgButton(hwnd(), IDC_CHK_DESKTOP, s.Desktop == 1 ? BST_CHECKED : BST_UNCHECKED);
  ::CheckDlgButton(hwnd(), IDC_CHK_GOST, s.Gost == 1 ? BST_CHECKED : BST_UNCHECKED);
  filling_ = false;
}

void SettingsDialog::OnCommand(int id, int code) noexcept {
  switch (id) {
    case IDOK:
      // A click that took the focus from the folder field has its check
      // first; a warning keeps the dialog open, once for each text, so a
      // second click saves what the user chose to keep.
      if (RunWaitingPathCheck()) return;
      OnOk();
      return;
    case IDCANCEL:  // also Esc and the close box: no check, nothing saved
      ::KillTimer(hwnd(), kPathCheckTimer);
      ::EndDialog(hwnd(), IDCANCEL);
      return;
    case IDC_CMD_BROWSE:
      if (code != BN_CLICKED) return;
      RunWaitingPathCheck();  // at most one warning, then the browser all the same
      OnBrowse();
      return;
    case IDC_CMD_COLOR:
      if (code != BN_CLICKED) return;
      RunWaitingPathCheck();
      OnColor();
      return;
    case IDC_TXT_PATH:
      if (code == EN_SETFOCUS) ::PostMessageW(hwnd(), kSelectToEnd, IDC_TXT_PATH, 0);
      if (code == EN_KILLFOCUS) ::PostMessageW(hwnd(), kPathLeft, 0, 0);
      return;
    case IDC_TXT_TIME:
      if (code == EN_CHANGE) OnTimeChanged();
      if (code == EN_SETFOCUS) ::PostMessageW(hwnd(), kSelectToEnd, IDC_TXT_TIME, 0);
      if (code == EN_KILLFOCUS) ::PostMessageW(hwnd(), kTimeLeft, 0, 0);
      return;
    default:
      // The effect buttons and check boxes: the click has taken effect.
      if (code == BN_CLICKED) RunWaitingPathCheck();
      return;
  }
}

void SettingsDialog::OnOk() noexcept {
  try {
    Settings edited = loaded_.settings;
    edited.Path = ItemText(IDC_TXT_PATH);
    for (std::int16_t i = 0; i <= StoredPattern(Effect::Random); ++i) {
      if (::IsDlgButtonChecked(hwnd(), IDC_OPT_PATAN0 + i) == BST_CHECKED) {
        edited.Break = i;
        break;
      }
    }
    // Text that is no 16-bit whole number keeps the stored interval.
    if (const auto seconds = TimeFieldValue(ItemText(IDC_TXT_TIME), numbers_)) {
      edited.Interval = *seconds;
    }
    edited.BackColor = swatchColor_;
    edited.Desktop = ::IsDlgButtonChecked(hwnd(), IDC_CHK_DESKTOP) == BST_CHECKED ? 1 : 0;
    edited.Gost = ::IsDlgButtonChecked(hwnd(), IDC_CHK_GOST) == BST_CHECKED ? 1 : 0;
    if (!SaveSettings(store_, edited, loaded_.settings)) ShowWarning(kSaveFailedText, hwnd());
  } catch (...) {
    ShowWarning(kSaveFailedText, hwnd());  // out of memory: nothing was written
  }
  ::EndDialog(hwnd(), IDOK);
}

void SettingsDialog::OnPathLeft() noexcept {
  try {
    std::wstring text = ItemText(IDC_TXT_PATH);
    if (text.empty() || text.back() != L'\\') {
      text += L'\\';
      SetItemText(IDC_TXT_PATH, text);
    }
  } catch (...) {
    return;
  }
  // Only a move to another control is checked: not the dialog's own message
  // box (one message for one action), a picker or another program, and not
  // the way out through Cancel.
  const HWND focus = ::GetFocus();
  if (!focus || !::IsChild(hwnd(), focus) || focus == Item(IDCANCEL)) return;
  if (::GetKeyState(VK_LBUTTON) < 0) {
    // The press that moved the focus is still on its way to a click: a
    // message box now would take the press and lose the click.
    pathCheckWaiting_ = true;
    ::SetTimer(hwnd(), kPathCheckTimer, kPathCheckPollMs, nullptr);
    return;
  }
  CheckPath(true);
}

void SettingsDialog::OnPathCheckTimer() noexcept {
  // Timer messages come after all input, so once the button is seen up its
  // click, if any, has been handled and has run the check itself.
  if (::GetKeyState(VK_LBUTTON) < 0) return;
  RunWaitingPathCheck();
}

bool SettingsDialog::RunWaitingPathCheck() noexcept {
  if (!pathCheckWaiting_) return false;
  pathCheckWaiting_ = false;
  ::KillTimer(hwnd(), kPathCheckTimer);
  return CheckPath(false);
}

bool SettingsDialog::CheckPath(bool again) noexcept {
  try {
    const std::wstring text = ItemText(IDC_TXT_PATH);
    if (FolderTestPasses(FolderLookupName(text))) return false;
    if (!again && text == warnedPath_) return false;
    warnedPath_ = text;
    WarnAbout(IDC_TXT_PATH, kFolderMissingText);
    return true;
  } catch (...) {
    return false;
  }
}

void SettingsDialog::OnSelectToEnd(int id) noexcept {
  const HWND field = Item(id);
  if (::GetFocus() != field) return;  // it has moved on meanwhile
  DWORD start = 0;
  ::SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  ::SendMessageW(field, EM_SETSEL, start, ::GetWindowTextLengthW(field));
}

void SettingsDialog::OnTimeChanged() noexcept {
  if (filling_ || narrowing_) return;
  try {
    const std::wstring text = ItemText(IDC_TXT_TIME);
    const std::wstring narrow = HalfWidthForm(text);
    if (narrow != text) {
      narrowing_ = true;
      SetItemText(IDC_TXT_TIME, narrow);
      const auto end = static_cast<LPARAM>(narrow.size());
      ::SendMessageW(Item(IDC_TXT_TIME), EM_SETSEL, static_cast<WPARAM>(end), end);
      narrowing_ = false;
    }
    switch (CheckTimeText(narrow, numbers_)) {
      case TimeText::NotANumber:
        WarnAbout(IDC_TXT_TIME, kNotANumberText);
        return;
      case TimeText::OverSixty:
        WarnAbout(IDC_TXT_TIME, kOverSixtyText);
        return;
      case TimeText::Empty:
      case TimeText::Fine:
        return;
    }
  } catch (...) {
    narrowing_ = false;
  }
}

void SettingsDialog::OnTimeLeft() noexcept {
  // An emptied field gets the interval loaded at start-up back.
  if (::GetWindowTextLengthW(Item(IDC_TXT_TIME)) == 0) {
    SetItemText(IDC_TXT_TIME, std::to_wstring(loaded_.settings.Interval));
  }
}

void SettingsDialog::OnBrowse() noexcept {
  try {
    wchar_t displayName[MAX_PATH] = {};
    const std::wstring title(kBrowseTitle);
    BROWSEINFOW request{};
    request.hwndOwner = hwnd();
    request.pszDisplayName = displayName;
    request.lpszTitle = title.c_str();
    request.ulFlags = BIF_RETURNONLYFSDIRS;
    const unique_cotaskmem item(::SHBrowseForFolderW(&request));
    if (!item) return;  // cancelled: the field keeps what it holds
    // Room for the longest path there is, not just MAX_PATH.
    std::wstring path(kMaxPathChars + 1, L'\0');
    if (::SHGetPathFromIDListEx(static_cast<PCIDLIST_ABSOLUTE>(item.get()), path.data(),
                                static_cast<DWORD>(path.size()), GPFIDL_DEFAULT)) {
      loaded_.settings.Path = WithTrailingBackslash(path);
    }
    // An item with no file-system path puts back the folder held so far.
    SetItemText(IDC_TXT_PATH, loaded_.settings.Path);
  } catch (...) {
  }
}

void SettingsDialog::OnColor() noexcept { SetSwatchColor(ShowColorDialog(swatchColor_)); }

std::uint32_t SettingsDialog::ShowColorDialog(std::uint32_t color) noexcept {
  // A fresh copy of the palette each time: custom colours edited in the
  // dialog are gone the next time it opens.
  std::array<COLORREF, 16> custom = kCustomPalette;
  CHOOSECOLORW request{};
  request.lStructSize = sizeof(request);
  request.hwndOwner = hwnd();
  request.hInstance = reinterpret_cast<HWND>(instance_);
  request.rgbResult = color;
  request.lpCustColors = custom.data();
  request.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (::ChooseColorW(&request)) return request.rgbResult;
  // Cancelled, or the dialog could not be shown at all.
  if (::CommDlgExtendedError() != 0) {
    const std::wstring text(kErrorText);
    const std::wstring caption(kSettingsCaption);
    ::MessageBoxW(hwnd(), text.c_str(), caption.c_str(), MB_OK | MB_ICONSTOP);
  }
  return color;
}

void SettingsDialog::SetSwatchColor(std::uint32_t color) noexcept {
  swatchColor_ = color;
  swatchBrush_.reset(::CreateSolidBrush(color & 0x00FFFFFFu));
  // The swatch first, then the word on it, which is painted over the swatch.
  ::InvalidateRect(Item(IDC_LBL_BACKCOLOR), nullptr, TRUE);
  ::InvalidateRect(Item(IDC_LBL_COLORTEXT), nullptr, TRUE);
}

HBRUSH SettingsDialog::OnColorStatic(HDC dc, HWND control) noexcept {
  const int id = ::GetDlgCtrlID(control);
  if (id == IDC_LBL_BACKCOLOR) return swatchBrush_.get();
  if (id == IDC_LBL_COLORTEXT) {
    ::SetTextColor(dc, InvertColor(swatchColor_));
    ::SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
  }
  return nullptr;  // the dialog's own colours
}

void SettingsDialog::WarnAbout(int id, std::wstring_view text) noexcept {
  ShowWarning(text, hwnd());
  ::SetFocus(Item(id));
}

}  // namespace ruzir::win32

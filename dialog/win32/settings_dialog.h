// frmSetting, the modal settings dialog.
//
// Opened when the program is started for its settings, owned by the host's
// window when the host names one (the display settings' button), else with
// no owner. It shows the loaded settings, warns about the folder and time
// fields while the user edits them (it never refuses what is typed), opens
// the shell's folder browser and the colour dialog, and saves the six values
// at OK.
// Every way of closing it ends the program, which then clears the run flag.
//
// The controls come from the dialog template in ruzir.rc; their places come
// from the layout below, in twips, scaled to the display's DPI, so the
// dialog has the same proportions at every DPI.
#pragma once

#include <windows.h>

#include <cstdint>

#include "dialog/field_checks.h"
#include "settings/key_store.h"
#include "settings/settings.h"
#include "support/units.h"
#include "support/win32/handles.h"
#include "support/win32/window.h"

namespace ruzir::win32 {

class SettingsDialog final : public DialogBase {
 public:
  SettingsDialog(LoadedSettings& loaded, KeyStore& store) : loaded_(loaded), store_(store) {}
  // Shows the dialog modally, owned by `owner` if there is one, and returns
  // when it has closed.
  void Run(HINSTANCE instance, HWND owner) noexcept;

 private:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;

  void OnInitDialog() noexcept;
  void OnCommand(int id, int code) noexcept;
  void OnOk() noexcept;
  void OnPathLeft() noexcept;
  void OnPathCheckTimer() noexcept;
  // A field that has gained the focus: the selection runs from its start
  // (the caret, when nothing is selected) to the end of the text.
  void OnSelectToEnd(int id) noexcept;
  void OnTimeChanged() noexcept;
  void OnTimeLeft() noexcept;
  void OnBrowse() noexcept;
  void OnColor() noexcept;
  HBRUSH OnColorStatic(HDC dc, HWND control) noexcept;

  void PlaceControls() noexcept;
  void FillFields() noexcept;
  void SetSwatchColor(std::uint32_t color) noexcept;
  // The colour dialog, starting on `color`; `color` again when nothing is chosen.
  std::uint32_t ShowColorDialog(std::uint32_t color) noexcept;

  // The folder test of the folder field: warns and puts the focus back when
  // it finds nothing, and says whether it warned. `again` warns about a text
  // the user has already been told of, as leaving the field by keyboard does.
  bool CheckPath(bool again) noexcept;
  // The folder check that waited for a click, if one waits.
  bool RunWaitingPathCheck() noexcept;
  // A warning about a field, owned by the dialog, then the focus back in it.
  void WarnAbout(int id, std::wstring_view text) noexcept;

  LoadedSettings& loaded_;
  KeyStore& store_;
  HINSTANCE instance_ = nullptr;
  TwipsScale scale_;
  NumberFormat numbers_;
  std::uint32_t swatchColor_ = 0;
  unique_hbrush swatchBrush_;
  unique_hicon icon_;
  bool filling_ = false;           // the dialog writes its own fields: no checks
  bool narrowing_ = false;         // the time check rewrites the field
  bool pathCheckWaiting_ = false;  // the folder check waits for a click
  std::wstring warnedPath_;        // the folder text last reported missing
};

}  // namespace ruzir::win32

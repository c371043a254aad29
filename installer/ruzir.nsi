; The setup program of Ruzir: a 64-bit, per-machine, Japanese installer that
; puts ruzir.scr into System32 (where the Screen Saver settings list it),
; selects it for the installing user and registers an uninstaller.
; UTF-8 with a byte-order mark: makensis reads the Japanese texts by it.
; Built by `make dist`: makensis -DSAVER=<ruzir.scr> -DOUTFILE=<setup.exe>.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!ifndef SAVER
  !define SAVER "..\build\win\ruzir.scr"
!endif
!ifndef SAMPLES
  !define SAMPLES "..\build\win"
!endif
!ifndef OUTFILE
  !define OUTFILE "..\build\dist\ruzir-setup.exe"
!endif

!define VERSION "1.0.0"
!define COMPANY "Zedozud Uravovuv"
!define COPYRIGHT "Copyright (C) 2026"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ruzir"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SETTINGS_KEY "Software\${COMPANY}\Ruzir"

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"

Name "Ruzir"
Caption "Ruzir セットアップ"
UninstallCaption "Ruzir アンインストール"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Ruzir"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "Ruzir"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "FileDescription" "Ruzir セットアップ"
VIAddVersionKey /LANG=1041 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "${COPYRIGHT}"

!define MUI_ICON "..\resources\ruzir.ico"
!define MUI_UNICON "..\resources\ruzir.ico"
!define MUI_ABORTWARNING

; Selecting the saver is the finish page's checkbox; silent installs, which
; show no page, select it in the section instead.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Ruzir をスクリーンセーバーに設定する(&S)"
!define MUI_FINISHPAGE_RUN_FUNCTION SelectSaver

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; The language file asks for "ＭＳ Ｐゴシック", which Wine has no stand-in for
; here: it falls back to the monospaced IPA Gothic, whose wide katakana clip
; "インストール(&I)". Japanese Windows draws its own dialogs in MS UI Gothic.
SetFont /LANG=${LANG_JAPANESE} "MS UI Gothic" 9

; A running show holds ruzir.scr open: every show window is asked to close,
; and the user is told if one stays.
!macro CloseRunningSaver un
  Function ${un}CloseRunningSaver
    StrCpy $1 0
    ${Do}
      FindWindow $0 "RuzirShow"
      ${If} $0 = 0
        Return
      ${EndIf}
      SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=2000
      Sleep 200
      IntOp $1 $1 + 1
    ${LoopUntil} $1 >= 25
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Ruzir のスクリーンセーバーが実行中です。終了してから [再試行] を押してください。" \
      /SD IDCANCEL IDRETRY retry
    Abort
  retry:
    Call ${un}CloseRunningSaver
  FunctionEnd
!macroend
!insertmacro CloseRunningSaver ""
!insertmacro CloseRunningSaver "un."

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

; $0 := 1 when the settings hold a "Path" value, whatever its type and
; length, else 0.
Function IsPathStored
  StrCpy $0 0
  StrCpy $1 0
  ${Do}
    ClearErrors
    EnumRegValue $2 HKCU "${SETTINGS_KEY}\Settings" $1
    ${If} ${Errors}
    ${OrIf} $2 == ""
      Return
    ${EndIf}
    ${If} $2 == "Path"
      StrCpy $0 1
      Return
    ${EndIf}
    IntOp $1 $1 + 1
  ${Loop}
FunctionEnd

; $1 := 1 when the selection $0 names the installed saver itself, in any
; case, in its short or long form; else 0. Called while the file exists: the
; short form is the file system's.
Function un.SelectsThisSaver
  StrCpy $1 0
  ${If} $0 == ""
    Return
  ${EndIf}
  ExpandEnvStrings $0 $0
  GetFullPathName $2 $0
  GetFullPathName /SHORT $3 $0
  GetFullPathName /SHORT $4 "$SYSDIR\ruzir.scr"
  ${If} $2 == "$SYSDIR\ruzir.scr"
    StrCpy $1 1
  ${ElseIf} $3 != ""
  ${AndIf} $3 == $4
    StrCpy $1 1
  ${EndIf}
FunctionEnd

Function SelectSaver
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\ruzir.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
FunctionEnd

Section "Ruzir"
  Call CloseRunningSaver
  SetOverwrite on
  SetOutPath "$SYSDIR"
  File "/oname=ruzir.scr" "${SAVER}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The saver's default folder is its own, System32, which holds no pictures:
  ; the installing user's show starts on the sample pictures instead, unless
  ; a folder has been chosen already.
  SetOutPath "$INSTDIR\Pictures"
  File "${SAMPLES}\dusk-hills.jpg" "${SAMPLES}\lighthouse.jpeg" "${SAMPLES}\leaves.bmp" \
    "${SAMPLES}\tiles.bmp"
  ; A stored Path, even an empty one (the root of the current drive), is the
  ; user's choice.
  Call IsPathStored
  ${If} $0 == 0
    WriteRegStr HKCU "${SETTINGS_KEY}\Settings" "Path" "$INSTDIR\Pictures"
  ${EndIf}

  ${GetSize} "$SYSDIR" "/M=ruzir.scr /S=0K /G=0" $0 $1 $2
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Ruzir"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\ruzir.scr,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  IfSilent 0 +2
    Call SelectSaver
SectionEnd

Section "Uninstall"
  Call un.CloseRunningSaver
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  Call un.SelectsThisSaver
  Delete "$SYSDIR\ruzir.scr"
  IfFileExists "$SYSDIR\ruzir.scr" 0 +3
    MessageBox MB_OK|MB_ICONEXCLAMATION "$SYSDIR\ruzir.scr を削除できませんでした。" /SD IDOK
    SetErrorLevel 2

  ; The selection goes only if it is this saver's.
  ${If} $1 == 1
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "0"
  ${EndIf}

  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\${COMPANY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$INSTDIR\Pictures\dusk-hills.jpg"
  Delete "$INSTDIR\Pictures\lighthouse.jpeg"
  Delete "$INSTDIR\Pictures\leaves.bmp"
  Delete "$INSTDIR\Pictures\tiles.bmp"
  RMDir "$INSTDIR\Pictures"
  RMDir "$INSTDIR"
SectionEnd

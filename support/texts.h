// Texts the user sees. Every message box is captioned kAppTitle.
#pragma once

#include <string>
#include <string_view>

namespace ruzir {

inline constexpr std::wstring_view kAppTitle = L"Ruzir";
// "Failed to obtain the settings information."
inline constexpr std::wstring_view kLoadFailedText = L"設定情報の取得に失敗しました。";
// "Failed to save the settings information."
inline constexpr std::wstring_view kSaveFailedText = L"設定情報の保存に失敗しました。";
// "Error while getting the picture files": the folder holds no picture the
// show can load.
inline constexpr std::wstring_view kImageListFailedText = L"画像ファイル取得エラー";

// The settings dialog's caption, also the caption of its colour-dialog error.
inline constexpr std::wstring_view kSettingsCaption = L"スクリーンセーバーの設定";
// "The specified folder does not exist."
inline constexpr std::wstring_view kFolderMissingText = L"指定されたフォルダは存在しません。";
// "Please enter a number."
inline constexpr std::wstring_view kNotANumberText = L"数字を入力してください。";
// "Please enter a number of 60 seconds or less."
inline constexpr std::wstring_view kOverSixtyText = L"60秒以内の数字を入力してください。";
// The folder browser's title: "Please specify the picture folder."
inline constexpr std::wstring_view kBrowseTitle = L"画像フォルダを指定してください。";
// "An error has occurred."
inline constexpr std::wstring_view kErrorText = L"エラーが発生しました。";

// The settings dialog's about line, "Copyright (C) 2026 Zedozud Uravovuv
// Ver.1.0.0": the copyright, the company and the file version's major, minor
// and revision numbers.
inline std::wstring AboutLine(std::wstring_view legalCopyright, std::wstring_view companyName,
                              unsigned major, unsigned minor, unsigned revision) {
  return std::wstring(legalCopyright) + L" " + std::wstring(companyName) + L" Ver." +
         std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." + std::to_wstring(revision);
}

}  // namespace ruzir

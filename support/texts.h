// Texts the user sees. Every message box is captioned kAppTitle.
#pragma once

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

}  // namespace ruzir

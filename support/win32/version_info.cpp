#include "support/win32/version_info.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "support/texts.h"

namespace ruzir::win32 {

std::optional<VersionRecord> ReadVersionRecord(const std::wstring& file) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<BYTE> block(size);
  if (!::GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return std::nullopt;

  VersionRecord record;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed &&
      length >= sizeof(VS_FIXEDFILEINFO)) {
    record.major = HIWORD(fixed->dwFileVersionMS);
    record.minor = LOWORD(fixed->dwFileVersionMS);
    record.build = HIWORD(fixed->dwFileVersionLS);
    record.revision = LOWORD(fixed->dwFileVersionLS);
  }
  struct Translation {
    WORD language;
    WORD codePage;
  }* translation = nullptr;
  if (!::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
      length < sizeof(Translation)) {
    return record;
  }
  for (const wchar_t* name : {L"CompanyName", L"FileDescription", L"FileVersion", L"LegalCopyright",
                              L"OriginalFilename", L"ProductName", L"ProductVersion"}) {
    wchar_t query[128] = {};
    std::swprintf(query, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language,
                  translation->codePage, name);
    wchar_t* value = nullptr;
    if (::VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&value), &length) && value) {
      record.strings[name] = value;
    }
  }
  return record;
}

std::wstring ReadAboutLine(const std::wstring& file) {
  const auto record = ReadVersionRecord(file);
  if (!record) return {};
  const auto text = [&](const wchar_t* name) {
    const auto found = record->strings.find(name);
    return found == record->strings.end() ? std::wstring() : found->second;
  };
  return AboutLine(text(L"LegalCopyright"), text(L"CompanyName"), record->major, record->minor,
                   record->revision);
}

}  // namespace ruzir::win32

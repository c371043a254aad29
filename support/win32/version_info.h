// A file's version record: its strings (first translation) and the four
// numbers of its file version; and the about line made from it.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace ruzir::win32 {

struct VersionRecord {
  std::map<std::wstring, std::wstring> strings;  // CompanyName, LegalCopyright, ...
  unsigned major = 0;
  unsigned minor = 0;
  unsigned build = 0;
  unsigned revision = 0;
};

// nullopt when the file has no readable version record.
std::optional<VersionRecord> ReadVersionRecord(const std::wstring& file);

// The about line (see AboutLine) of `file`; empty when it has no record.
std::wstring ReadAboutLine(const std::wstring& file);

}  // namespace ruzir::win32

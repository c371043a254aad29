#include "show/win32/file_search.h"

#include <windows.h>

#include <string>

#include "support/win32/handles.h"
#include "support/win32/long_path.h"

namespace ruzir::win32 {
namespace {

static_assert(kAttributeHidden == FILE_ATTRIBUTE_HIDDEN);
static_assert(kAttributeSystem == FILE_ATTRIBUTE_SYSTEM);
static_assert(kAttributeDirectory == FILE_ATTRIBUTE_DIRECTORY);

}  // namespace

void FileSearch::Find(std::wstring_view folder, std::wstring_view pattern,
                      const std::function<bool(const DirectoryEntry&)>& found) {
  const std::wstring query = UsablePath(std::wstring(folder) + std::wstring(pattern));
  WIN32_FIND_DATAW data{};
  const unique_hfind search(::FindFirstFileExW(query.c_str(), FindExInfoBasic, &data,
                                               FindExSearchNameMatch, nullptr,
                                               FIND_FIRST_EX_LARGE_FETCH));
  if (!search) return;  // no match, or no such folder: nothing listed
  DirectoryEntry entry;
  do {
    entry.name = data.cFileName;
    entry.attributes = data.dwFileAttributes;
    if (!found(entry)) return;
  } while (::FindNextFileW(search.get(), &data));
}

}  // namespace ruzir::win32

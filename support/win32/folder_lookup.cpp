#include "support/win32/folder_lookup.h"

#include <windows.h>

#include "support/win32/handles.h"
#include "support/win32/long_path.h"

namespace ruzir::win32 {

bool FolderTestPasses(const std::wstring& name) noexcept {
  if (name.size() == 3 && name[1] == L':' && name[2] == L'\\') {
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  if (name.empty()) return false;
  WIN32_FIND_DATAW data{};
  const unique_hfind search(::FindFirstFileExW(UsablePath(name).c_str(), FindExInfoBasic, &data,
                                               FindExSearchNameMatch, nullptr, 0));
  if (!search) return false;
  bool found = false;
  do {
    found = (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
  } while (!found && ::FindNextFileW(search.get(), &data));
  return found;
}

}  // namespace ruzir::win32

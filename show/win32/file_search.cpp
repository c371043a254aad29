#include "show/win32/file_search.h"

#include <windows.h>

#include <string>

namespace ruzir::win32 {
namespace {

static_assert(kAttributeHidden == FILE_ATTRIBUTE_HIDDEN);
static_assert(kAttributeSystem == FILE_ATTRIBUTE_SYSTEM);
static_assert(kAttributeDirectory == FILE_ATTRIBUTE_DIRECTORY);

// A search handle, closed with FindClose (its "none" is INVALID_HANDLE_VALUE).
class unique_find {
 public:
  explicit unique_find(HANDLE handle) noexcept : handle_(handle) {}
  unique_find(const unique_find&) = delete;
  unique_find& operator=(const unique_find&) = delete;
  ~unique_find() {
    if (valid()) ::FindClose(handle_);
  }
  HANDLE get() const noexcept { return handle_; }
  bool valid() const noexcept { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

}  // namespace

void FileSearch::Find(std::wstring_view folder, std::wstring_view pattern,
                      const std::function<bool(const DirectoryEntry&)>& found) {
  const std::wstring query = std::wstring(folder) + std::wstring(pattern);
  WIN32_FIND_DATAW data{};
  const unique_find search(::FindFirstFileExW(query.c_str(), FindExInfoBasic, &data,
                                              FindExSearchNameMatch, nullptr,
                                              FIND_FIRST_EX_LARGE_FETCH));
  if (!search.valid()) return;  // no match, or no such folder: nothing listed
  DirectoryEntry entry;
  do {
    entry.name = data.cFileName;
    entry.attributes = data.dwFileAttributes;
    if (!found(entry)) return;
  } while (::FindNextFileW(search.get(), &data));
}

}  // namespace ruzir::win32

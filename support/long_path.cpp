#include "support/long_path.h"

#include <algorithm>

namespace ruzir {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// Under the prefix a forward slash is no separator: turn them all.
std::wstring Prefixed(std::wstring_view prefix, std::wstring_view rest) {
  std::wstring path(prefix);
  path += rest;
  std::replace(path.begin() + static_cast<std::ptrdiff_t>(prefix.size()), path.end(), L'/', L'\\');
  return path;
}

}  // namespace

std::wstring ExtendedLengthPath(std::wstring_view path) {
  if (path.size() < kClassicPathLimit || path.size() < 3) return std::wstring(path);
  if (IsDriveLetter(path[0]) && path[1] == L':' && IsSeparator(path[2])) {
    return Prefixed(L"\\\\?\\", path);
  }
  if (IsSeparator(path[0]) && IsSeparator(path[1])) {
    // "\\?\..." and "\\.\..." are already past the classic rules.
    if (path[2] == L'?' || path[2] == L'.') return std::wstring(path);
    return Prefixed(L"\\\\?\\UNC\\", path.substr(2));
  }
  return std::wstring(path);  // relative or drive-relative: made absolute first
}

}  // namespace ruzir

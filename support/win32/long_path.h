// The form of a path that the platform's file calls accept at any length.
#pragma once

#include <windows.h>

#include <string>

#include "support/long_path.h"

namespace ruzir::win32 {

// `path` itself while it is short; a longer one made absolute and clean
// first, since the extended-length prefix switches the platform's own
// clean-up off, then prefixed.
inline std::wstring UsablePath(const std::wstring& path) {
  if (path.size() < kClassicPathLimit) return path;
  const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return ExtendedLengthPath(path);
  std::wstring full(needed, L'\0');
  const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return ExtendedLengthPath(path);
  full.resize(length);
  return ExtendedLengthPath(full);
}

}  // namespace ruzir::win32

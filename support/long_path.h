// Paths longer than the platform's classic limit.
//
// Most file calls refuse a path of MAX_PATH (260) characters or more unless
// it carries the extended-length prefix "\\?\", which also switches off the
// platform's clean-up of the path ("." and ".." segments, forward slashes,
// trailing dots). So a path gets the prefix only where it needs it, and only
// once it is absolute and clean; shorter paths are passed on untouched.
#pragma once

#include <string>
#include <string_view>

namespace ruzir {

// The classic limit, in characters with the terminating NUL.
inline constexpr std::size_t kClassicPathLimit = 260;

// `fullPath` with the extended-length prefix when it is too long for the
// classic limit: "C:\..." becomes "\\?\C:\..." and "\\server\share\..."
// becomes "\\?\UNC\server\share\...". Short paths, paths already in a
// device or extended form ("\\?\", "\\.\") and anything not absolute come
// back unchanged.
std::wstring ExtendedLengthPath(std::wstring_view fullPath);

}  // namespace ruzir

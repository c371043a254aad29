// The settings dialog's folder test: does a name find anything a user would
// call there?
#pragma once

#include <string>

namespace ruzir::win32 {

// Whether the folder test finds `name`: a drive root that exists, or any
// entry matching the name (wildcards allowed) that is neither hidden nor a
// system file.
bool FolderTestPasses(const std::wstring& name) noexcept;

}  // namespace ruzir::win32

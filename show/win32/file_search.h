// The folder search behind the image list: FindFirstFileExW without short
// names and with large fetches, which matters in folders of many thousand
// files.
#pragma once

#include "show/image_list.h"

namespace ruzir::win32 {

class FileSearch final : public DirectorySearch {
 public:
  void Find(std::wstring_view folder, std::wstring_view pattern,
            const std::function<bool(const DirectoryEntry&)>& found) override;
};

}  // namespace ruzir::win32

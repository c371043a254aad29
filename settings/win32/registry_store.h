// The settings store's keys in the registry, below
// HKEY_CURRENT_USER\<base>. Wide calls throughout: the registry keeps REG_SZ
// as UTF-16 whichever call wrote it, so values stay readable both ways and
// folder names outside the ANSI code page survive.
#pragma once

#include <string>

#include "settings/key_store.h"

namespace ruzir::win32 {

class RegistryKeyStore final : public KeyStore {
 public:
  explicit RegistryKeyStore(std::wstring base) : base_(std::move(base)) {}
  std::unique_ptr<Key> Open(std::wstring_view subKey) override;

 private:
  std::wstring base_;
};

}  // namespace ruzir::win32

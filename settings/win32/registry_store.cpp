#include "settings/win32/registry_store.h"

#include <windows.h>

#include <vector>

#include "support/win32/handles.h"

namespace ruzir::win32 {
namespace {

class RegistryKey final : public Key {
 public:
  explicit RegistryKey(unique_hkey key) : key_(std::move(key)) {}

  bool Read(std::wstring_view name, std::span<std::byte> buffer) override {
    // Read through a scratch buffer: on ERROR_MORE_DATA the system may have
    // scribbled over the caller's buffer, which must stay as it was.
    std::vector<BYTE> scratch(buffer.size());
    auto size = static_cast<DWORD>(scratch.size());
    const std::wstring valueName(name);
    if (::RegQueryValueExW(key_.get(), valueName.c_str(), nullptr, nullptr, scratch.data(),
                           &size) != ERROR_SUCCESS) {
      return false;
    }
    for (DWORD i = 0; i < size && i < buffer.size(); ++i) buffer[i] = std::byte{scratch[i]};
    return true;
  }

  bool Write(std::wstring_view name, ValueType type, std::span<const std::byte> bytes) override {
    const std::wstring valueName(name);
    return ::RegSetValueExW(key_.get(), valueName.c_str(), 0,
                            type == ValueType::String ? REG_SZ : REG_BINARY,
                            reinterpret_cast<const BYTE*>(bytes.data()),
                            static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
  }

 private:
  unique_hkey key_;
};

}  // namespace

std::unique_ptr<Key> RegistryKeyStore::Open(std::wstring_view subKey) {
  const std::wstring path = base_ + std::wstring(subKey);
  unique_hkey key;
  // A key's values are read and written, nothing more: a key whose rights
  // allow that (and no more) still opens.
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS) {
    return nullptr;
  }
  return std::make_unique<RegistryKey>(std::move(key));
}

}  // namespace ruzir::win32

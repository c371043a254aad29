// An in-memory KeyStore for the settings tests: values keep their type and
// raw bytes, reads honour the caller's buffer size like the registry does,
// and any key can be told to fail opening.
#pragma once

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "settings/key_store.h"
#include "support/random.h"

namespace ruzir::test {

struct StoredValue {
  ValueType type;
  std::vector<std::byte> bytes;
  friend bool operator==(const StoredValue&, const StoredValue&) = default;
};

using KeyContents = std::map<std::wstring, StoredValue>;

class MemoryKeyStore final : public KeyStore {
 public:
  std::map<std::wstring, KeyContents> keys;
  std::set<std::wstring> failingKeys;  // Open() of these returns nullptr
  std::vector<std::wstring> writeLog;  // "Key\\Value" of every write, in order

  std::unique_ptr<Key> Open(std::wstring_view subKey) override {
    const std::wstring name(subKey);
    if (failingKeys.count(name)) return nullptr;
    return std::make_unique<MemoryKey>(name, keys[name], writeLog);  // created when missing
  }

  void Put(const std::wstring& key, const std::wstring& value, std::vector<std::byte> bytes,
           ValueType type = ValueType::Binary) {
    keys[key][value] = {type, std::move(bytes)};
  }

 private:
  class MemoryKey final : public Key {
   public:
    MemoryKey(std::wstring name, KeyContents& contents, std::vector<std::wstring>& log)
        : name_(std::move(name)), contents_(contents), log_(log) {}
    bool Read(std::wstring_view name, std::span<std::byte> buffer) override {
      const auto it = contents_.find(std::wstring(name));
      if (it == contents_.end() || it->second.bytes.size() > buffer.size()) return false;
      if (!it->second.bytes.empty()) {
        std::memcpy(buffer.data(), it->second.bytes.data(), it->second.bytes.size());
      }
      return true;
    }
    bool Write(std::wstring_view name, ValueType type, std::span<const std::byte> bytes) override {
      contents_[std::wstring(name)] = {type, {bytes.begin(), bytes.end()}};
      log_.push_back(name_ + L"\\" + std::wstring(name));
      return true;
    }

   private:
    std::wstring name_;
    KeyContents& contents_;
    std::vector<std::wstring>& log_;
  };
};

// A generator that returns the given values in turn and counts the draws.
class FixedUniform final : public UniformSource {
 public:
  explicit FixedUniform(std::vector<float> values) : values_(std::move(values)) {}
  float NextUniform() override { return values_.at(draws++ % values_.size()); }
  std::size_t draws = 0;

 private:
  std::vector<float> values_;
};

inline std::vector<std::byte> Bytes(std::initializer_list<int> values) {
  std::vector<std::byte> out;
  for (const int v : values) out.push_back(static_cast<std::byte>(v));
  return out;
}

}  // namespace ruzir::test

// The small key-value interface the settings store is written against.
//
// The program keeps its state in two registry keys under the current user's
// hive. Everything that decides what to read, what to write and what a value
// means lives in plain C++ (settings.cpp) over this interface, so it can be
// tested with an in-memory store; the registry implementation is a thin layer
// in settings/win32/.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string_view>

namespace ruzir {

// The registry types the program writes.
enum class ValueType { String, Binary };

// One opened key. Destroying it closes the key.
class Key {
 public:
  virtual ~Key() = default;

  // Reads the value's raw bytes into the start of `buffer`, leaving the rest
  // of the buffer untouched. Returns false when the value is missing or needs
  // more bytes than `buffer` holds; `buffer` is then left untouched too.
  virtual bool Read(std::wstring_view name, std::span<std::byte> buffer) = 0;

  // Stores `bytes` under `name` with the given type. Returns false on failure.
  virtual bool Write(std::wstring_view name, ValueType type, std::span<const std::byte> bytes) = 0;
};

// Opens keys below the program's base key.
class KeyStore {
 public:
  virtual ~KeyStore() = default;

  // Opens the sub-key (for instance "Flags"), creating it when missing.
  // Returns nullptr when it can be neither opened nor created.
  virtual std::unique_ptr<Key> Open(std::wstring_view subKey) = 0;
};

}  // namespace ruzir

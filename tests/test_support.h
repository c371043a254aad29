// Fakes for the native tests: a key store that reads like the registry (a
// value longer than the buffer does not fit), fixed draws, numbered pixels.
#pragma once
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <set>
#include "settings/key_store.h"
#include "support/random.h"
#include "support/surface.h"

namespace ruzir::test {

using Stored = std::pair<ValueType, std::vector<std::byte>>;
using Values = std::map<std::wstring, Stored>;
struct MemoryKeyStore final : KeyStore {
  struct MemoryKey final : Key {
    explicit MemoryKey(Values& v) : values(v) {}
    bool Read(std::wstring_view name, std::span<std::byte> buffer) override {
      const auto it = values.find(std::wstring(name));
      if (it == values.end() || it->second.second.size() > buffer.size()) return false;
      return std::copy(it->second.second.begin(), it->second.second.end(), buffer.begin()), true;
    }
    bool Write(std::wstring_view name, ValueType type, std::span<const std::byte> bytes) override {
      return values[std::wstring(name)] = {type, {bytes.begin(), bytes.end()}}, true;
    }
    Values& values;
  };
  std::unique_ptr<Key> Open(std::wstring_view key) override {
    if (failing.count(std::wstring(key))) return nullptr;
    return std::make_unique<MemoryKey>(keys[std::wstring(key)]);  // created when missing
  }
  std::map<std::wstring, Values> keys;
  std::set<std::wstring> failing;
};
struct FixedUniform final : UniformSource {
  explicit FixedUniform(std::vector<float> v) : values(std::move(v)) {}
  float NextUniform() override { return values.at(draws++ % values.size()); }
  std::vector<float> values;
  std::size_t draws = 0;
};

inline std::vector<std::byte> Bytes(std::string_view s) {
  const auto* p = reinterpret_cast<const std::byte*>(s.data());
  return {p, p + s.size()};
}
// Pixels counting up from `first` by `step`: a pixel out of place shows.
struct Pixels {
  Pixels(int width, int height, std::uint32_t first = 0, std::uint32_t step = 1)
      : pixels(std::size_t(width) * std::size_t(height)), view{pixels.data(), width, height} {
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = first + std::uint32_t(i) * step;
  }
  std::vector<std::uint32_t> pixels;
  SurfaceView view;
};

inline bool In(const PixelRect& r, long long x, long long y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

template <typename Expected>
void ExpectPixels(const SurfaceView& surface, const std::string& what, Expected expected) {
  for (int i = 0; i < surface.width * surface.height; ++i) {
    const int x = i % surface.width, y = i / surface.width;
    ASSERT_EQ(surface.At(x, y), expected(x, y)) << what << " at " << x << "," << y;
  }
}

}  // namespace ruzir::test

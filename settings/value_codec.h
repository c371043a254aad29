// Byte layout of the stored values: little-endian integers and UTF-16LE
// text, independent of the byte order of the machine that runs the tests.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ruzir {

template <typename Int>
std::array<std::byte, sizeof(Int)> EncodeLittleEndian(Int value) {
  using Unsigned = std::make_unsigned_t<Int>;
  const auto bits = static_cast<Unsigned>(value);
  std::array<std::byte, sizeof(Int)> bytes{};
  for (std::size_t i = 0; i < sizeof(Int); ++i) {
    bytes[i] = static_cast<std::byte>((bits >> (8 * i)) & 0xFFu);
  }
  return bytes;
}

template <typename Int>
Int DecodeLittleEndian(std::span<const std::byte, sizeof(Int)> bytes) {
  using Unsigned = std::make_unsigned_t<Int>;
  Unsigned bits = 0;
  for (std::size_t i = 0; i < sizeof(Int); ++i) {
    bits = static_cast<Unsigned>(bits | (static_cast<Unsigned>(bytes[i]) << (8 * i)));
  }
  return static_cast<Int>(bits);
}

// Text as REG_SZ holds it: UTF-16LE code units followed by one NUL unit.
// (On Windows a wchar_t is one UTF-16 unit; the native tests, where it is
// wider, use characters of the basic plane only.)
std::vector<std::byte> EncodeRegString(std::wstring_view text);

// The text in a zero-filled read buffer: its UTF-16LE units up to the first
// NUL (an odd trailing byte is not a whole unit and is dropped).
std::wstring DecodeRegString(std::span<const std::byte> bytes);

}  // namespace ruzir

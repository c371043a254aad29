#include "settings/value_codec.h"

namespace ruzir {
namespace {

void PushUnit(std::vector<std::byte>& out, std::uint32_t unit) {
  out.push_back(static_cast<std::byte>(unit & 0xFFu));
  out.push_back(static_cast<std::byte>((unit >> 8) & 0xFFu));
}

}  // namespace

std::vector<std::byte> EncodeRegString(std::wstring_view text) {
  std::vector<std::byte> out;
  out.reserve((text.size() + 1) * 2);
  for (const wchar_t c : text) {
    const auto code = static_cast<std::uint32_t>(c);
    if constexpr (sizeof(wchar_t) == 4) {
      // Where wchar_t holds whole code points (not on Windows), split the
      // ones beyond the basic plane into a surrogate pair as UTF-16 does.
      if (code > 0xFFFFu) {
        PushUnit(out, 0xD800u + ((code - 0x10000u) >> 10));
        PushUnit(out, 0xDC00u + ((code - 0x10000u) & 0x3FFu));
        continue;
      }
    }
    PushUnit(out, code);
  }
  PushUnit(out, 0);
  return out;
}

std::wstring DecodeRegString(std::span<const std::byte> bytes) {
  std::wstring text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto unit =
        static_cast<std::uint32_t>(bytes[i]) | (static_cast<std::uint32_t>(bytes[i + 1]) << 8);
    if (unit == 0) break;
    if constexpr (sizeof(wchar_t) == 4) {
      if (unit >= 0xDC00u && unit <= 0xDFFFu && !text.empty()) {
        const auto high = static_cast<std::uint32_t>(text.back());
        if (high >= 0xD800u && high <= 0xDBFFu) {
          text.back() =
              static_cast<wchar_t>(0x10000u + ((high - 0xD800u) << 10) + (unit - 0xDC00u));
          continue;
        }
      }
    }
    text.push_back(static_cast<wchar_t>(unit));
  }
  return text;
}

}  // namespace ruzir

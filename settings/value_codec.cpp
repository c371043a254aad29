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
  for (const wchar_t c : text) PushUnit(out, static_cast<std::uint32_t>(c));
  PushUnit(out, 0);
  return out;
}

std::wstring DecodeRegString(std::span<const std::byte> bytes) {
  std::wstring text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto unit =
        static_cast<std::uint32_t>(bytes[i]) | (static_cast<std::uint32_t>(bytes[i + 1]) << 8);
    if (unit == 0) break;
    text.push_back(static_cast<wchar_t>(unit));
  }
  return text;
}

}  // namespace ruzir

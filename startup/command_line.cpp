#include "startup/command_line.h"

#include <limits>

namespace ruzir {
namespace {

constexpr bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// An unsigned decimal number filling the whole text (trailing blanks
// allowed); nullopt for anything else, including values beyond 64 bits.
std::optional<std::uint64_t> ParseHandle(std::wstring_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    const auto digit = static_cast<std::uint64_t>(c - L'0');
    if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

}  // namespace

std::wstring_view ArgumentText(std::wstring_view line) {
  std::size_t i = 0;
  if (!line.empty() && line[0] == L'"') {
    // A quoted path runs to the closing quote (or the end, if it has none).
    const auto close = line.find(L'"', 1);
    i = close == std::wstring_view::npos ? line.size() : close + 1;
  } else {
    while (i < line.size() && !IsBlank(line[i])) ++i;
  }
  while (i < line.size() && IsBlank(line[i])) ++i;
  return line.substr(i);
}

CommandLine ParseCommandLine(std::wstring_view argumentText) {
  const auto head = argumentText.substr(0, 2);
  // The third character separates a handle (" " or ":") whatever it is.
  const auto handle = [&] {
    return ParseHandle(argumentText.size() > 3 ? argumentText.substr(3) : std::wstring_view{});
  };
  if (head == L"/s" || head == L"/S") return {RunMode::FullScreen, std::nullopt};
  if (head == L"/p" || head == L"/P") return {RunMode::Preview, handle()};
  if (head == L"/c" || head == L"/C") return {RunMode::Settings, handle()};
  return {RunMode::Settings, std::nullopt};
}

}  // namespace ruzir

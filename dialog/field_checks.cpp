#include "dialog/field_checks.h"

#include <charconv>
#include <cmath>
#include <string>

namespace ruzir {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

}  // namespace

std::optional<double> ParseNumeric(std::wstring_view text, NumberFormat format) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;

  // Rebuilt in the plain form from_chars reads: sign, digits, '.', 'e'.
  std::string plain;
  std::size_t i = begin;
  if (i < end && (text[i] == L'+' || text[i] == L'-')) {
    if (text[i] == L'-') plain += '-';
    ++i;
  }
  bool mantissaDigits = false;
  for (; i < end; ++i) {
    if (IsDigit(text[i])) {
      plain += static_cast<char>(text[i]);
      mantissaDigits = true;
    } else if (text[i] == format.group && mantissaDigits) {
      // "1,000": group separators only between digits of the whole part.
    } else {
      break;
    }
  }
  if (i < end && text[i] == format.decimal) {
    plain += '.';
    for (++i; i < end && IsDigit(text[i]); ++i) {
      plain += static_cast<char>(text[i]);
      mantissaDigits = true;
    }
  }
  if (!mantissaDigits) return std::nullopt;
  if (i < end && (text[i] == L'e' || text[i] == L'E')) {
    plain += 'e';
    ++i;
    if (i < end && (text[i] == L'+' || text[i] == L'-')) plain += static_cast<char>(text[i++]);
    bool exponentDigits = false;
    for (; i < end && IsDigit(text[i]); ++i) {
      plain += static_cast<char>(text[i]);
      exponentDigits = true;
    }
    if (!exponentDigits) return std::nullopt;
  }
  if (i != end) return std::nullopt;

  double value = 0;
  const auto [last, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  // Out of range ("1e999") is not a number the dialog can use either.
  if (error != std::errc() || last != plain.data() + plain.size()) return std::nullopt;
  return value;
}

std::optional<std::int16_t> ToWholeNumber(double value) {
  const double whole = std::nearbyint(value);  // halves to even
  if (!(whole >= -32768.0 && whole <= 32767.0)) return std::nullopt;
  return static_cast<std::int16_t>(whole);
}

TimeText CheckTimeText(std::wstring_view text, NumberFormat format) {
  if (text.empty()) return TimeText::Empty;
  const auto value = ParseNumeric(text, format);
  if (!value) return TimeText::NotANumber;
  return std::nearbyint(*value) > 60 ? TimeText::OverSixty : TimeText::Fine;
}

std::optional<std::int16_t> TimeFieldValue(std::wstring_view text, NumberFormat format) {
  const auto value = ParseNumeric(text, format);
  if (!value) return std::nullopt;
  return ToWholeNumber(*value);
}

std::wstring FolderLookupName(std::wstring_view fieldText) {
  if (fieldText.empty()) return {};
  std::wstring name(fieldText.substr(0, fieldText.size() - 1));
  // "C:" alone would name the drive's current folder, not its root.
  if (name.size() == 2 && name[1] == L':') name += L'\\';
  return name;
}

}  // namespace ruzir

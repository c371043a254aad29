// The settings dialog's rules that need no window: the time field's number
// reading (of the half-width form the system maps it to), the folder
// field's lookup and the colour of the word on the swatch.
//
// The fields warn, never refuse: whatever they hold at OK is what is saved,
// so these functions only classify text; the dialog decides what to say.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ruzir {

// The user's number format: decimal and digit-group separators.
struct NumberFormat {
  wchar_t decimal = L'.';
  wchar_t group = L',';
};

// The value of numeric text: blanks around, an optional sign, digits with
// optional group separators, an optional fraction and an optional exponent
// ("12", " 7 ", "1,000", "1.5", "1e1", ".5"). nullopt for anything else.
std::optional<double> ParseNumeric(std::wstring_view text, NumberFormat format);

// Rounded to the nearest whole number, halves to even (2.5 -> 2, 3.5 -> 4);
// nullopt beyond the 16-bit range -32768 to 32767.
std::optional<std::int16_t> ToWholeNumber(double value);

// The time field's change check.
enum class TimeText { Empty, Fine, NotANumber, OverSixty };
TimeText CheckTimeText(std::wstring_view text, NumberFormat format);

// The seconds the time field's text stands for at OK, or nullopt when it does
// not convert to a 16-bit whole number.
std::optional<std::int16_t> TimeFieldValue(std::wstring_view text, NumberFormat format);

// The name the folder test looks up: the field's text without its trailing
// backslash ("C:\Pictures\" -> "C:\Pictures"). A drive root ("C:\") is
// looked up as the root itself, which the platform cannot list by name.
std::wstring FolderLookupName(std::wstring_view fieldText);

// The complement of a colour 0x00BBGGRR on each channel; the top byte of
// the input is ignored.
constexpr std::uint32_t InvertColor(std::uint32_t color) { return ~color & 0x00FFFFFFu; }

}  // namespace ruzir

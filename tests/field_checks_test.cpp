#include "dialog/field_checks.h"
#include "support/texts.h"

#include <gtest/gtest.h>

namespace ruzir {
namespace {

constexpr NumberFormat kJapanese{L'.', L','};
constexpr NumberFormat kGerman{L',', L'.'};

TEST(FieldChecks, NarrowFormMapsFullWidthCharacters) {
  struct Case {
    const wchar_t* text;
    const wchar_t* narrow;
  };
  const Case cases[] = {
      {L"１５", L"15"},    {L"－３．５", L"-3.5"}, {L"＋７\u3000", L"+7 "},
      {L"ＡＢｃ", L"ABc"}, {L"12秒", L"12秒"},  // other characters stay
      {L"", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(NarrowForm(c.text), c.narrow) << c.text;
}

TEST(FieldChecks, NumbersAreReadAsTheLocaleWritesThem) {
  struct Case {
    const wchar_t* text;
    NumberFormat format;
    std::optional<double> value;
  };
  const Case cases[] = {
      {L"12", kJapanese, 12},
      {L" 7 ", kJapanese, 7},
      {L"1.5", kJapanese, 1.5},
      {L"1e1", kJapanese, 10},
      {L"-5", kJapanese, -5},
      {L"+3", kJapanese, 3},
      {L"1,000", kJapanese, 1000},
      {L".5", kJapanese, 0.5},
      {L"2.", kJapanese, 2},
      {L"1,5", kGerman, 1.5},
      {L"1.000", kGerman, 1000},
      {L"2E-1", kJapanese, 0.2},
      {L"", kJapanese, std::nullopt},
      {L"abc", kJapanese, std::nullopt},
      {L"1a", kJapanese, std::nullopt},
      {L"-", kJapanese, std::nullopt},
      {L".", kJapanese, std::nullopt},
      {L"1e", kJapanese, std::nullopt},
      {L"1 2", kJapanese, std::nullopt},
      {L",5", kJapanese, std::nullopt},
      {L"1e999", kJapanese, std::nullopt},  // beyond any double
  };
  for (const auto& c : cases) EXPECT_EQ(ParseNumeric(c.text, c.format), c.value) << c.text;
}

TEST(FieldChecks, WholeNumbersRoundHalfToEvenWithinSixteenBits) {
  struct Case {
    const wchar_t* text;
    std::optional<std::int16_t> seconds;
  };
  const Case cases[] = {
      {L"12", 12},
      {L"2.5", 2},
      {L"3.5", 4},
      {L"-2.5", -2},
      {L"1e1", 10},
      {L"0", 0},
      {L"32767", 32767},
      {L"-32768", -32768},
      {L"99999", std::nullopt},
      {L"1e9", std::nullopt},
      {L"32767.5", std::nullopt},
      {L"abc", std::nullopt},
      {L"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(TimeFieldValue(c.text, kJapanese), c.seconds) << c.text;
}

TEST(FieldChecks, TimeTextWarnsAboutNonNumbersAndMoreThanSixty) {
  struct Case {
    const wchar_t* text;
    TimeText check;
  };
  const Case cases[] = {
      {L"", TimeText::Empty},       {L"7", TimeText::Fine},        {L"60", TimeText::Fine},
      {L"60.4", TimeText::Fine},    {L"60.5", TimeText::Fine},  // rounds to the even 60
      {L"61", TimeText::OverSixty}, {L"75", TimeText::OverSixty},  {L"99999", TimeText::OverSixty},
      {L"0", TimeText::Fine},       {L"-5", TimeText::Fine},       {L"a", TimeText::NotANumber},
      {L"-", TimeText::NotANumber}, {L"7a", TimeText::NotANumber},
  };
  for (const auto& c : cases) EXPECT_EQ(CheckTimeText(c.text, kJapanese), c.check) << c.text;
}

TEST(FieldChecks, FolderIsLookedUpWithoutItsTrailingBackslash) {
  struct Case {
    const wchar_t* field;
    const wchar_t* lookup;
  };
  const Case cases[] = {
      {L"C:\\Pictures\\", L"C:\\Pictures"},
      {L"C:\\*\\", L"C:\\*"},
      {L"C:\\", L"C:\\"},  // the root itself, not the drive's current folder
      {L"\\\\server\\share\\photos\\", L"\\\\server\\share\\photos"},
      {L"\\", L""},
      {L"", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(FolderLookupName(c.field), c.lookup) << c.field;
}

TEST(FieldChecks, InvertColorComplementsEachChannelAndIgnoresTheTopByte) {
  struct Case {
    std::uint32_t color;
    std::uint32_t inverted;
  };
  const Case cases[] = {
      {0x00FF8000u, 0x00007FFFu},  // red 0, green 128, blue 255 -> 255, 127, 0
      {0xFFFF8000u, 0x00007FFFu},  // the same with the top byte set
      {0x00000000u, 0x00FFFFFFu}, {0x00FFFFFFu, 0x00000000u}, {0x00400040u, 0x00BFFFBFu},
  };
  for (const auto& c : cases) EXPECT_EQ(InvertColor(c.color), c.inverted) << std::hex << c.color;
}

TEST(FieldChecks, AboutLineEndsWithMajorMinorAndRevision) {
  EXPECT_EQ(AboutLine(L"Copyright (C) 2026", L"Zedozud Uravovuv", 2, 2, 1),
            L"Copyright (C) 2026 Zedozud Uravovuv Ver.2.2.1");
  EXPECT_EQ(AboutLine(L"(C)", L"Co", 10, 0, 12), L"(C) Co Ver.10.0.12");
}

}  // namespace
}  // namespace ruzir

#include "startup/command_line.h"

#include <gtest/gtest.h>

namespace ruzir {
namespace {

TEST(ArgumentText, SkipsTheProgramPathAndTheBlanksAfterIt) {
  struct Case {
    const wchar_t* line;
    const wchar_t* arguments;
  };
  const Case cases[] = {
      {L"ruzir.scr /s", L"/s"},
      {L"C:\\Windows\\ruzir.scr   /p 1234", L"/p 1234"},
      {L"\"C:\\Program Files\\ruzir.scr\" /c:5678", L"/c:5678"},
      {L"\"C:\\Program Files\\ruzir.scr\"/S", L"/S"},
      {L"\"C:\\Program Files\\ruzir.scr\"", L""},
      {L"\"C:\\unterminated /s", L""},
      {L"ruzir.scr\t/p\t99", L"/p\t99"},
      {L"ruzir.scr", L""},
      {L"", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(ArgumentText(c.line), c.arguments) << c.line;
}

TEST(ParseCommandLine, ModeAndPreviewHandle) {
  using H = std::optional<std::uint64_t>;
  struct Case {
    const wchar_t* arguments;
    RunMode mode;
    H handle;
  };
  const Case cases[] = {
      {L"/s", RunMode::FullScreen, {}},
      {L"/S", RunMode::FullScreen, {}},
      {L"/sx", RunMode::FullScreen, {}},  // only two characters count
      {L"/s 1234", RunMode::FullScreen, {}},
      {L"/p 1234", RunMode::Preview, 1234},
      {L"/P 1234", RunMode::Preview, 1234},
      {L"/p:1234", RunMode::Preview, 1234},
      {L"/pX1234", RunMode::Preview, 1234},  // the separator is skipped whatever it is
      {L"/p 1234  ", RunMode::Preview, 1234},
      {L"/p 18446744073709551615", RunMode::Preview, 18446744073709551615ull},
      {L"/p 18446744073709551616", RunMode::Preview, {}},   // beyond 64 bits
      {L"/p 4294967296", RunMode::Preview, 4294967296ull},  // 64-bit handles survive
      {L"/p", RunMode::Preview, {}},
      {L"/p ", RunMode::Preview, {}},
      {L"/p abc", RunMode::Preview, {}},
      {L"/p -12", RunMode::Preview, {}},
      {L"/p 12a", RunMode::Preview, {}},
      {L"/p 0x1F", RunMode::Preview, {}},
      {L"", RunMode::Settings, {}},
      {L"/c", RunMode::Settings, {}},
      {L"/c:1234", RunMode::Settings, {}},
      {L" /s", RunMode::Settings, {}},  // compared exactly, from the first character
      {L"-s", RunMode::Settings, {}},
      {L"s", RunMode::Settings, {}},
      {L"/", RunMode::Settings, {}},
      {L"／ｓ", RunMode::Settings, {}},  // full-width characters are other characters
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(c.arguments)));
    const CommandLine parsed = ParseCommandLine(c.arguments);
    EXPECT_EQ(parsed.mode, c.mode);
    EXPECT_EQ(parsed.previewParent, c.handle);
  }
}

}  // namespace
}  // namespace ruzir

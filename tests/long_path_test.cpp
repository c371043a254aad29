#include "support/long_path.h"

#include <gtest/gtest.h>

namespace ruzir {
namespace {

TEST(ExtendedLengthPath, PrefixesOnlyLongAbsolutePaths) {
  const std::wstring tail(300, L'a');
  const std::wstring justShort(kClassicPathLimit - 1 - 3, L'b');  // "C:\" + 256 = 259
  struct Case {
    std::wstring path;
    std::wstring expected;
  };
  const Case cases[] = {
      {L"C:\\" + justShort, L"C:\\" + justShort},
      {L"a:\\" + justShort + L"b", L"\\\\?\\a:\\" + justShort + L"b"},
      {L"z:/" + tail + L"/c", L"\\\\?\\z:\\" + tail + L"\\c"},
      {L"//server/share\\" + tail, L"\\\\?\\UNC\\server\\share\\" + tail},
      {L"\\\\?\\C:\\" + tail, L"\\\\?\\C:\\" + tail},
      {L"\\\\.\\C:\\" + tail, L"\\\\.\\C:\\" + tail},
      {L"C:" + tail, L"C:" + tail},      // drive-relative
      {L"\\" + tail, L"\\" + tail},      // rooted on the current drive
      {L"1:\\" + tail, L"1:\\" + tail},  // no drive letter
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtendedLengthPath(c.path), c.expected) << c.path.substr(0, 12);
  }
}

}  // namespace
}  // namespace ruzir

#include "settings/value_codec.h"

#include <gtest/gtest.h>

#include <cwchar>

#include "memory_store.h"

namespace ruzir {
namespace {

using test::Bytes;

template <typename Int>
std::vector<std::byte> Encoded(Int value) {
  const auto bytes = EncodeLittleEndian(value);
  return {bytes.begin(), bytes.end()};
}

TEST(ValueCodec, Int16RoundTripsThroughLittleEndianBytes) {
  struct Case {
    std::int16_t value;
    std::vector<std::byte> bytes;
  };
  const Case cases[] = {
      {0, Bytes({0, 0})},        {1, Bytes({1, 0})},         {0x1234, Bytes({0x34, 0x12})},
      {-1, Bytes({0xFF, 0xFF})}, {-32768, Bytes({0, 0x80})}, {32767, Bytes({0xFF, 0x7F})},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Encoded(c.value), c.bytes) << c.value;
    EXPECT_EQ(DecodeLittleEndian<std::int16_t>(std::span<const std::byte, 2>(c.bytes.data(), 2)),
              c.value);
  }
}

TEST(ValueCodec, ColourKeepsItsByteLayout) {
  EXPECT_EQ(Encoded<std::uint32_t>(0x00403020u), Bytes({0x20, 0x30, 0x40, 0}));
  const auto bytes = Bytes({0x20, 0x30, 0x40, 0xFF});
  EXPECT_EQ(DecodeLittleEndian<std::uint32_t>(std::span<const std::byte, 4>(bytes.data(), 4)),
            0xFF403020u);
}

// U+1F600: one wchar_t where wchar_t holds code points, two on Windows.
#if WCHAR_MAX > 0xFFFF
const std::wstring kBeyondBasicPlane(1, static_cast<wchar_t>(0x1F600));
#else
const std::wstring kBeyondBasicPlane = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
#endif

TEST(ValueCodec, StringsAreUtf16WithOneTerminatingNul) {
  struct Case {
    std::wstring text;
    std::vector<std::byte> bytes;
  };
  const Case cases[] = {
      {L"", Bytes({0, 0})},
      {L"C:\\", Bytes({'C', 0, ':', 0, '\\', 0, 0, 0})},
      {L"写", Bytes({0x99, 0x51, 0, 0})},
      {kBeyondBasicPlane, Bytes({0x3D, 0xD8, 0x00, 0xDE, 0, 0})},  // a surrogate pair
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes.size());
    EXPECT_EQ(EncodeRegString(c.text), c.bytes);
    EXPECT_EQ(DecodeRegString(c.bytes), c.text);
  }
}

TEST(ValueCodec, DecodingStopsAtTheFirstNulAndDropsAnOddByte) {
  EXPECT_EQ(DecodeRegString(Bytes({'a', 0, 0, 0, 'b', 0})), L"a");
  EXPECT_EQ(DecodeRegString(Bytes({'a', 0, 'b'})), L"a");
  EXPECT_EQ(DecodeRegString(Bytes({'a', 0, 'b', 0})), L"ab");  // no NUL at all
  EXPECT_EQ(DecodeRegString({}), L"");
}

}  // namespace
}  // namespace ruzir

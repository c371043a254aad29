// The stored settings and run flag, the effect chooser, the start-up rules
// and the dialog's text checks. Stored bytes are string literals: "\x2C\x01"
// is 300 in two little-endian bytes.
#include "dialog/field_checks.h"
#include "settings/settings.h"
#include "settings/value_codec.h"
#include "startup/startup_plan.h"
#include "test_support.h"

namespace ruzir::test {
namespace {

using namespace std::literals;
constexpr auto none = std::nullopt;

Settings Load(MemoryKeyStore& store, float random = 0.0f, Effect* effect = nullptr) {
  FixedUniform uniform({random});
  LoadedSettings loaded;
  EXPECT_TRUE(LoadSettings(store, L"C:\\Ruzir", uniform, loaded));
  if (effect) *effect = loaded.CurrentEffect;
  return loaded.settings;
}

// A shorter value fills the low-order bytes, a longer one gives the
// default; a path is cut at its first NUL.
TEST(LoadSettings, DefaultsAndFixedSizeFields) {
  MemoryKeyStore first;
  Effect effect{};
  const Settings s = Load(first, 0.5f, &effect);
  EXPECT_EQ(std::tuple(s.Path, s.Interval, s.BackColor, s.Desktop, s.Gost, s.Break, effect),
            std::tuple(L"C:\\Ruzir\\", 20, 0x400040u, 0, 0, 4,
                       Effect::VerticalSlide));  // floor(0.5 x 3 + 1)
  EXPECT_EQ(first.keys, (std::map<std::wstring, Values>{{L"Settings", {}}}));
  // clang-format off
  const std::tuple<const wchar_t*, std::string_view, std::int64_t> cases[] = {
      {L"Interval", "\x2C\x01"sv, 300}, {L"Interval", "\x05"sv, 5},     {L"Interval", "\x05\0\0"sv, 20},
      {L"Interval", ""sv, 0},           {L"Gost", "\x01\0"sv, 1},       {L"Gost", "\x01\0\0"sv, 0},
      {L"Desktop", "\x02\0"sv, 2},      {L"Desktop", "\x01\0\0"sv, 0},  {L"Break", "\0\x80"sv, -32768},
      {L"Break", "\x03\0\0"sv, 4},      {L"BackColor", "\x11\x22\x33\x44"sv, 0x44332211},
      {L"BackColor", "\x01\x02\x03\x04\x05"sv, 0x400040}};
  // clang-format on
  for (const auto& [name, bytes, value] : cases) {
    MemoryKeyStore store;
    store.keys[L"Settings"][name] = {ValueType::Binary, Bytes(bytes)};
    const Settings t = Load(store);
    const std::map<std::wstring_view, std::int64_t> read{{L"Interval", t.Interval},
                                                         {L"Gost", t.Gost},
                                                         {L"Desktop", t.Desktop},
                                                         {L"Break", t.Break},
                                                         {L"BackColor", t.BackColor}};
    EXPECT_EQ(read.at(name), value) << name << " of " << bytes.size() << " bytes";
  }
  const std::wstring longest(kMaxPathChars, L'a');
  // clang-format off
  const std::pair<std::vector<std::byte>, std::wstring> paths[] = {
      {EncodeRegString(L"D:\\写真"), L"D:\\写真\\"},   {Bytes("D\0:\0\\\0\0\0"sv), L"D:\\"},  {Bytes(""sv), L"\\"},
      {Bytes("C\0\0\0j\0\0\0"sv), L"C\\"},             {Bytes("C\0:\0B\0"sv), L"C:B\\"},      {Bytes("C\0:\0C"sv), L"C:C\\"},
      {EncodeRegString(longest), longest + L"\\"},     {EncodeRegString(longest + L"b"), L"C:\\Ruzir\\"}};
  // clang-format on
  for (const auto& [bytes, path] : paths) {
    MemoryKeyStore store;
    store.keys[L"Settings"][L"Path"] = {ValueType::String, bytes};
    EXPECT_EQ(Load(store).Path, path) << bytes.size();
  }
}

TEST(SaveSettings, WritesTheSixValuesInTheirFixedLayout) {
  MemoryKeyStore store;
  Settings edited{L"D:\\写真", -32768, 0x00102030, 1, 0, 7}, current;  // 7 names no pattern: kept
  ASSERT_TRUE(SaveSettings(store, edited, current));
  EXPECT_EQ(current.Path, edited.Path);
  const auto binary = [](std::string_view bytes) {
    return Stored{ValueType::Binary, Bytes(bytes)};
  };
  EXPECT_EQ(store.keys[L"Settings"],
            (Values{{L"Path", {ValueType::String, Bytes("D\0:\0\\\0\x99\x51\x1F\x77\0\0"sv)}},
                    {L"Break", binary("\x07\0"sv)},
                    {L"Interval", binary("\0\x80"sv)},
                    {L"BackColor", binary("\x30\x20\x10\0"sv)},
                    {L"Desktop", binary("\x01\0"sv)},
                    {L"Gost", binary("\0\0"sv)}}));
  Effect effect{};
  EXPECT_EQ(std::tuple(Load(store, 0.9f, &effect).Path, effect),
            std::tuple(L"D:\\写真\\"s, Effect::None));
  edited.Path.clear();
  ASSERT_TRUE(SaveSettings(store, edited, current) && ClearRunFlag(store));
  EXPECT_EQ(store.keys[L"Settings"][L"Path"].second, Bytes("\0\0"sv));  // a lone NUL
  EXPECT_EQ(store.keys[L"Flags"][L"Active"], binary("\0\0"sv));
}

TEST(Settings, AKeyThatCannotBeOpenedChangesNothing) {
  MemoryKeyStore store;
  store.keys = {{L"Settings", {{L"Interval", {ValueType::Binary, Bytes("\x09\0"sv)}}}},
                {L"Flags", {}}};
  const auto before = store.keys;
  store.failing = {L"Settings", L"Flags"};
  FixedUniform random({0.0f});
  LoadedSettings loaded{{}, Effect::Diffuse};
  Settings current;
  EXPECT_FALSE(LoadSettings(store, L"C:\\", random, loaded));
  EXPECT_FALSE(SaveSettings(store, Settings{L"D:\\"}, current));
  EXPECT_FALSE(SetRunFlag(store) || ClearRunFlag(store));
  EXPECT_EQ(PlanStartup(store, false, L"/s").outcome, StartupOutcome::EndWithLoadFailure);
  EXPECT_EQ(std::tuple(loaded.settings.Path, loaded.CurrentEffect, current.Path),
            std::tuple(L"", Effect::Diffuse, L""));
  EXPECT_EQ(store.keys, before);
}

// A stored pattern names an effect only from 0 to 4; Random draws one of
// the three with pieces, floor(r x 3 + 1), and is the only one that draws.
TEST(Effect, StoredPatternsAndTheNextEffect) {
  constexpr auto N = Effect::None, D = Effect::Diffuse, V = Effect::VerticalSlide,
                 H = Effect::HorizontalSlide, R = Effect::Random;
  const std::tuple<std::int16_t, std::optional<Effect>, float, Effect> cases[] = {
      {-1, none, 0.5f, N}, {0, N, 0.5f, N},  {1, D, 0.5f, D},        {3, H, 0.9f, H},
      {5, none, 0.5f, N},  {4, R, 0.0f, D},  {4, R, 0.33f, D},       {4, R, 0.34f, V},
      {4, R, 0.66f, V},    {4, R, 0.67f, H}, {4, R, 0.99999994f, H}, {-32768, none, 0.5f, N}};
  for (const auto& [stored, pattern, r, chosen] : cases) {
    FixedUniform random({r});
    EXPECT_EQ(PatternFromStored(stored), pattern) << stored;
    EXPECT_EQ(std::tuple(ChooseEffect(stored, random), random.draws),
              std::tuple(chosen, std::size_t(stored == 4)));
  }
  Random random(12345);  // the process's generator: below 1, each effect about as often
  int seen[5] = {};
  for (int i = 0; i < 3000; ++i) ++seen[StoredPattern(ChooseEffect(4, random))];
  EXPECT_EQ(seen[0] + seen[4], 0);
  for (const int count : {seen[1], seen[2], seen[3]}) EXPECT_NEAR(count, 1000, 150);
  EXPECT_EQ(FolderOfModule(L"C:\\Windows\\ruzir.scr"), L"C:\\Windows\\");
  EXPECT_EQ(FolderOfModule(L"\\\\server\\share/ruzir.scr"), L"\\\\server\\share\\");
  EXPECT_EQ(FolderOfModule(L"ruzir.scr"), L"\\");
}

// Two characters choose the mode; "/p" takes a decimal handle after any
// one separator (0: none).
TEST(CommandLine, ArgumentTextModeAndHandle) {
  EXPECT_EQ(ArgumentText(L"ruzir.scr /s"), L"/s");
  EXPECT_EQ(ArgumentText(L"C:\\r.scr \t /p 1"), L"/p 1");
  EXPECT_EQ(ArgumentText(L"\"C:\\a b\\r.scr\" /c:5"), L"/c:5");
  EXPECT_EQ(ArgumentText(L"\"C:\\a b\\r.scr\"/S"), L"/S");
  EXPECT_EQ(ArgumentText(L"\"C:\\unterminated /s"), L"");
  EXPECT_EQ(ArgumentText(L"ruzir.scr"), L"");
  constexpr auto S = RunMode::Settings, F = RunMode::FullScreen, P = RunMode::Preview;
  const std::tuple<const wchar_t*, RunMode, std::uint64_t> cases[] = {
      {L"/s", F, 0},    {L"/S 12", F, 0}, {L"/sx", F, 0},      {L"/p 7", P, 7},  {L"/P:90", P, 90},
      {L"/p", P, 0},    {L"/p ", P, 0},   {L"/p  5", P, 0},    {L"/p -1", P, 0}, {L"/p 1/", P, 0},
      {L"/p 1:", P, 0}, {L"", S, 0},      {L"/c:12", S, 0},    {L" /s", S, 0},   {L"-s", S, 0},
      {L"/", S, 0},     {L"／ｓ", S, 0},  {L"/pX12 \t", P, 12}};
  for (const auto& [arguments, mode, handle] : cases) {
    const CommandLine parsed = ParseCommandLine(arguments);
    EXPECT_EQ(std::tuple(parsed.mode, parsed.previewParent.value_or(0)), std::tuple(mode, handle))
        << arguments;
    EXPECT_NE(parsed.previewParent, 0u);
  }
  EXPECT_EQ(ParseCommandLine(L"/p 18446744073709551615").previewParent, 18446744073709551615ull);
  EXPECT_EQ(ParseCommandLine(L"/p 18446744073709551616").previewParent, none);
}

// A copy ends silently only when another copy runs *and* the flag says so;
// the preview's pane must be a window of another process, not the desktop,
// and nothing is asked about no handle.
TEST(PlanStartup, SingleCopyRuleRunFlagAndPreviewPane) {
  constexpr auto Run = StartupOutcome::Run, Silent = StartupOutcome::EndSilently;
  const std::tuple<bool, std::optional<std::string_view>, StartupOutcome> cases[] = {
      {false, none, Run},         {false, "\x01\0"sv, Run},  {true, "\0\0"sv, Run},
      {true, none, Run},          {true, "\x01\0\0"sv, Run}, {true, "\x01\0"sv, Silent},
      {true, "\0\x80"sv, Silent}, {true, "\x01"sv, Silent}};
  for (const auto& [another, flag, outcome] : cases) {
    MemoryKeyStore store;
    if (flag) store.keys[L"Flags"][L"Active"] = {ValueType::Binary, Bytes(*flag)};
    const StartupPlan plan = PlanStartup(store, another, L"/p:42");
    const bool runs = outcome == Run;
    EXPECT_EQ(std::tuple(plan.outcome, plan.command.previewParent.value_or(0)),
              std::tuple(outcome, runs ? 42u : 0u));
    EXPECT_EQ(store.keys[L"Flags"][L"Active"].second,
              Bytes(runs ? "\x01\0"sv : flag.value_or(""sv)));
  }
  const std::tuple<std::uint64_t, bool, bool, bool, bool> panes[] = {
      {0x1234, true, false, false, true},
      {0, true, false, false, false},
      {0x1234, false, false, false, false},
      {0x10010, true, true, false, false},
      {0x1234, true, false, true, false}};
  for (const auto& [handle, window, desktop, ours, usable] : panes) {
    std::uint64_t asked = 0;
    EXPECT_EQ(IsUsablePreviewPane(handle,
                                  [&](std::uint64_t h) {
                                    return asked = h, PaneFacts{window, desktop, ours};
                                  }),
              usable);
    EXPECT_EQ(asked, handle);
  }
  EXPECT_FALSE(IsUsablePreviewPane(none, [](std::uint64_t) { return PaneFacts{true}; }));
  EXPECT_FALSE(IsUsablePreviewPane(1, [](std::uint64_t) { return PaneFacts{}; }));  // nothing known
}

// Numbers as the user writes them; views ending before the next character
// show that nothing past the end is read.
TEST(FieldChecks, NarrowFormAndNumbers) {
  EXPECT_EQ(NarrowForm(L"－３．５\u3000ＡＢｃ\uFF01\uFF5E"), L"-3.5 ABc!~");  // U+FF01 to U+FF5E
  EXPECT_EQ(NarrowForm(L"\uFF00\uFF5F\u3001 12秒"), L"\uFF00\uFF5F\u3001 12秒");
  const std::wstring_view fraction(L"1.52", 3), exponent(L"1e12", 3);
  const std::pair<std::wstring_view, std::optional<double>> cases[] = {
      {L"19", 19},     {L" \t7 ", 7},    {L"1.5", 1.5},   {L"1e1", 10},   {L"-5", -5},
      {L"+3", 3},      {L"1,000", 1000}, {L"1,5", 15},    {L".5", 0.5},   {L"2.", 2},
      {L"2E-1", 0.2},  {L"1e+1", 10},    {fraction, 1.5}, {exponent, 10}, {L"", none},
      {L"  ", none},   {L"abc", none},   {L"1a", none},   {L"-", none},   {L".", none},
      {L"1e", none},   {L"1e+", none},   {L"1 2", none},  {L",5", none},  {L"1.5.", none},
      {L"1e999", none}};
  for (const auto& [text, value] : cases)
    EXPECT_EQ(ParseNumeric(text, {}), value) << std::wstring(text);
  EXPECT_EQ(ParseNumeric(L"1.000,5", {L',', L'.'}), 1000.5);
}

// The time field warns above 60 once rounded half to even, and gives the
// seconds when they fit in 16 bits; a folder is looked up without its
// trailing backslash, but a drive root as the root.
TEST(FieldChecks, TimeFolderAndSwatch) {
  constexpr auto E = TimeText::Empty, NaN = TimeText::NotANumber, F = TimeText::Fine,
                 O = TimeText::OverSixty;
  const std::tuple<const wchar_t*, TimeText, std::optional<std::int16_t>> cases[] = {
      {L"", E, none},      {L"a", NaN, none},    {L"7a", NaN, none},    {L"2.5", F, 2},
      {L"3.5", F, 4},      {L"-2.5", F, -2},     {L"60.5", F, 60},      {L"60.6", O, 61},
      {L"61", O, 61},      {L"32767", O, 32767}, {L"32767.5", O, none}, {L"-32768.5", F, -32768},
      {L"-32769", F, none}};
  for (const auto& [text, check, seconds] : cases) {
    EXPECT_EQ(std::tuple(CheckTimeText(text, {}), TimeFieldValue(text, {})),
              std::tuple(check, seconds))
        << text;
  }
  EXPECT_EQ(FolderLookupName(L"C:\\Pictures\\"), L"C:\\Pictures");
  EXPECT_EQ(FolderLookupName(L"C:\\"), L"C:\\");
  EXPECT_EQ(FolderLookupName(L"ab\\"), L"ab");
  EXPECT_EQ(FolderLookupName(L""), L"");
  EXPECT_EQ(InvertColor(0xFF400040u), 0x00BFFFBFu);
}

}  // namespace
}  // namespace ruzir::test

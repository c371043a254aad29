// Settings, effects, start-up, the dialog's checks. "\x2C\x01" is 300 stored.
#include "dialog/field_checks.h"
#include "settings/settings.h"
#include "settings/value_codec.h"
#include "startup/startup_plan.h"
#include "test_support.h"

namespace ruzir::test {
using namespace std::literals;
constexpr auto none = std::nullopt;
using E = Effect;

Settings Load(MemoryKeyStore& store, float random = 0.0f, Effect* effect = nullptr) {
  FixedUniform uniform({random});
  LoadedSettings loaded;
  EXPECT_TRUE(LoadSettings(store, L"C:\\Ruzir", uniform, loaded));
  if (effect) *effect = loaded.CurrentEffect;
  return loaded.settings;
}

// A shorter value fills the low bytes, a longer one gives the default.
TEST(LoadSettings, DefaultsAndFixedSizeFields) {
  MemoryKeyStore first;
  Effect effect{};
  const Settings s = Load(first, 0.5f, &effect);  // Random: floor(0.5 x 3 + 1) = 2
  EXPECT_EQ(std::tuple(s.Path, s.Interval, s.BackColor, s.Desktop, s.Gost, s.Break, effect),
            std::tuple(L"C:\\Ruzir\\", 20, 0x400040u, 0, 0, 4, Effect::VerticalSlide));
  EXPECT_EQ(first.keys, (std::map<std::wstring, Values>{{L"Settings", {}}}));
  const std::wstring longest(kMaxPathChars, L'a');
  // clang-format off
  const std::tuple<const wchar_t*, std::string_view, std::int64_t> cases[] = {
      {L"Interval", "\x2C\x01"sv, 300}, {L"Interval", "\x05"sv, 5}, {L"Interval", "\x05\0\0"sv, 20},
      {L"Interval", ""sv, 0}, {L"Gost", "\x01\0"sv, 1}, {L"Gost", "\x01\0\0"sv, 0},
      {L"Desktop", "\x02\0"sv, 2}, {L"Desktop", "\x01\0\0"sv, 0}, {L"Break", "\0\x80"sv, -32768},
      {L"Break", "\x03\0\0"sv, 4}, {L"BackColor", "\x11\x22\x33\x44"sv, 0x44332211},
      {L"BackColor", "\x01\x02\x03\x04\x05"sv, 0x400040}};
  const std::pair<std::vector<std::byte>, std::wstring> paths[] = {
      {EncodeRegString(L"D:\\写真"), L"D:\\写真\\"}, {Bytes("D\0:\0\\\0\0\0"sv), L"D:\\"},
      {Bytes(""sv), L"\\"}, {Bytes("C\0\0\0j\0\0\0"sv), L"C\\"}, {Bytes("C\0:\0B\0"sv), L"C:B\\"},
      {Bytes("C\0:\0C"sv), L"C:C\\"}, {EncodeRegString(longest), longest + L"\\"},
      {EncodeRegString(longest + L"b"), L"C:\\Ruzir\\"}};
  // clang-format on
  for (const auto& [name, bytes, value] : cases) {
    MemoryKeyStore store;
    store.keys[L"Settings"][name] = {ValueType::Binary, Bytes(bytes)};
    const Settings t = Load(store);
    const std::wstring_view names[] = {L"Interval", L"Gost", L"Desktop", L"Break", L"BackColor"};
    const std::int64_t read[] = {t.Interval, t.Gost, t.Desktop, t.Break, t.BackColor};
    EXPECT_EQ(read[std::find(names, names + 5, name) - names], value) << name << bytes.size();
  }
  for (const auto& [bytes, path] : paths) {
    MemoryKeyStore store;
    store.keys[L"Settings"][L"Path"] = {ValueType::String, bytes};
    EXPECT_EQ(Load(store).Path, path) << bytes.size();
  }
}

TEST(SaveSettings, WritesTheSixValuesInTheirFixedLayout) {
  MemoryKeyStore store;
  Settings edited{L"D:\\写真", -32768, 0x00102030, 1, 0, 7}, current;  // 7 is no pattern: kept
  ASSERT_TRUE(SaveSettings(store, edited, current) && current.Path == edited.Path);
  const auto bin = [](std::string_view bytes) { return Stored{ValueType::Binary, Bytes(bytes)}; };
  // clang-format off
  EXPECT_EQ(store.keys[L"Settings"],
            (Values{{L"Path", {ValueType::String, Bytes("D\0:\0\\\0\x99\x51\x1F\x77\0\0"sv)}},
                    {L"Break", bin("\x07\0"sv)}, {L"Interval", bin("\0\x80"sv)},
                    {L"Gost", bin("\0\0"sv)},
                    {L"BackColor", bin("\x30\x20\x10\0"sv)}, {L"Desktop", bin("\x01\0"sv)}}));
  // clang-format on
  Effect effect{};
  EXPECT_EQ(std::tuple(Load(store, 0.9f, &effect).Path, effect),
            std::tuple(L"D:\\写真\\", E::None));
  edited.Path.clear();
  ASSERT_TRUE(SaveSettings(store, edited, current) && ClearRunFlag(store));
  EXPECT_EQ(store.keys[L"Settings"][L"Path"].second, Bytes("\0\0"sv));  // a lone NUL
  EXPECT_EQ(store.keys[L"Flags"][L"Active"], bin("\0\0"sv));
  const auto before = store.keys;  // keys that cannot be opened: nothing changes
  store.failing = {L"Settings", L"Flags"};
  LoadedSettings loaded{{}, Effect::Diffuse};
  FixedUniform zero({0.0f});
  EXPECT_FALSE(LoadSettings(store, L"C:\\", zero, loaded));
  EXPECT_FALSE(SaveSettings(store, {L"X"}, current) || SetRunFlag(store) || ClearRunFlag(store));
  EXPECT_EQ(PlanStartup(store, false, L"/s").outcome, StartupOutcome::EndWithLoadFailure);
  EXPECT_EQ(std::tuple(loaded.settings.Path, loaded.CurrentEffect, store.keys),
            std::tuple(L"", E::Diffuse, before));
  EXPECT_EQ(current.Path, L"");
}

// Patterns are 0 to 4; only Random draws: floor(r x 3 + 1).
TEST(Effect, StoredPatternsAndTheNextEffect) {
  constexpr auto N = E::None, D = E::Diffuse, V = E::VerticalSlide, H = E::HorizontalSlide,
                 R = E::Random;
  const std::tuple<std::int16_t, std::optional<Effect>, float, Effect> cases[] = {
      {-1, none, 0.5f, N}, {0, N, 0.5f, N},  {1, D, 0.5f, D},        {3, H, 0.9f, H},
      {5, none, 0.5f, N},  {4, R, 0.0f, D},  {4, R, 0.33f, D},       {4, R, 0.34f, V},
      {4, R, 0.66f, V},    {4, R, 0.67f, H}, {4, R, 0.99999994f, H}, {-32768, none, 0.5f, N}};
  for (const auto& [stored, pattern, r, chosen] : cases) {
    FixedUniform random({r});
    EXPECT_EQ(PatternFromStored(stored), pattern) << stored;
    const Effect next = ChooseEffect(stored, random);
    EXPECT_EQ(std::tuple(next, random.draws), std::tuple(chosen, stored == 4 ? 1u : 0u));
  }
  Random random(12345);  // the process's generator: below 1, each effect as often
  int seen[5] = {};
  for (int i = 0; i < 3000; ++i) ++seen[StoredPattern(ChooseEffect(4, random))];
  EXPECT_TRUE(seen[0] + seen[4] == 0 && std::min({seen[1], seen[2], seen[3]}) > 850);
  EXPECT_EQ(FolderOfModule(L"\\\\s\\share/ruzir.scr") + FolderOfModule(L"r"), L"\\\\s\\share\\\\");
}

// Two characters choose the mode; "/p" and "/c" take a handle after any
// separator. A preview lives in another program's window; the dialog is owned
// only by another program's visible top-level one.
TEST(Startup, CommandLineSingleCopyRuleAndHostWindows) {
  constexpr auto S = RunMode::Settings, F = RunMode::FullScreen, P = RunMode::Preview;
  // clang-format off
  const std::pair<const wchar_t*, const wchar_t*> lines[] = {
      {L"ruzir.scr /s", L"/s"}, {L"C:\\r.scr \t /p 1", L"/p 1"}, {L"\"C:\\a b\\r.scr\"/S", L"/S"},
      {L"\"C:\\unterminated /s", L""}, {L"ruzir.scr", L""}};
  const std::tuple<const wchar_t*, RunMode, std::uint64_t> cases[] = {
      {L"/s", F, 0}, {L"/S 12", F, 0}, {L"/sx", F, 0}, {L"/p 7", P, 7}, {L"/P:90", P, 90},
      {L"/p", P, 0}, {L"/p ", P, 0}, {L"/p  5", P, 0}, {L"/p -1", P, 0}, {L"/p 1/", P, 0},
      {L"/p 1:", P, 0}, {L"", S, 0}, {L"/c:12", S, 12}, {L"/C 3", S, 3}, {L"/c", S, 0},
      {L"/cx", S, 0}, {L"c:12", S, 0}, {L" /s", S, 0}, {L"-s", S, 0}, {L"/", S, 0},
      {L"／ｓ", S, 0}, {L"/pX12 \t", P, 12}, {L"/p 18446744073709551616", P, 0},
      {L"/p 18446744073709551615", P, 18446744073709551615ull}};
  for (const auto& [line, arguments] : lines) EXPECT_EQ(ArgumentText(line), arguments) << line;
  for (const auto& [arguments, mode, handle] : cases) {
    const auto [got, parent] = ParseCommandLine(arguments);
    EXPECT_EQ(std::tuple(got, parent.value_or(0)), std::tuple(mode, handle)) << arguments;
    EXPECT_NE(parent, 0u);
  }
  // A copy ends silently only when another runs *and* the flag says so.
  constexpr auto Run = StartupOutcome::Run, Silent = StartupOutcome::EndSilently;
  const std::tuple<bool, std::optional<std::string_view>, StartupOutcome> plans[] = {
      {false, none, Run}, {false, "\x01\0"sv, Run}, {true, "\0\0"sv, Run}, {true, none, Run},
      {true, "\x01\0\0"sv, Run}, {true, "\x01\0"sv, Silent}, {true, "\0\x80"sv, Silent},
      {true, "\x01"sv, Silent}};
  // A window, the desktop, ours, visible, top-level: a pane? an owner?
  const std::tuple<std::uint64_t, WindowFacts, bool, bool> windows[] = {
      {0x1234, {true, false, false, true, true}, true, true},
      {0, {true, false, false, true, true}, false, false}, {0x1234, {}, false, false},
      {0x1234, {false, false, false, true, true}, false, false},
      {0x10010, {true, true, false, true, true}, false, false},
      {0x1234, {true, false, true, true, true}, false, false},
      {0x1234, {true, false, false, false, true}, true, false},
      {0x1234, {true, false, false, true, false}, true, false}};
  // clang-format on
  for (const auto& [another, flag, outcome] : plans) {
    MemoryKeyStore store;
    if (flag) store.keys[L"Flags"][L"Active"] = {ValueType::Binary, Bytes(*flag)};
    const auto [result, command] = PlanStartup(store, another, L"/p:42");
    const bool runs = outcome == Run;
    EXPECT_EQ(std::tuple(result, command.window.value_or(0)), std::tuple(outcome, runs * 42u));
    EXPECT_EQ(store.keys[L"Flags"][L"Active"].second, Bytes(runs ? "\x01\0"sv : flag.value_or("")));
  }
  for (const auto& [handle, facts, pane, owner] : windows) {
    std::uint64_t asked = 0;  // nothing is asked about no handle
    const auto inspect = [&](std::uint64_t h) { return asked = h, facts; };
    EXPECT_EQ(std::tuple(IsUsablePreviewPane(handle, inspect), asked), std::tuple(pane, handle));
    asked = 0;
    EXPECT_EQ(std::tuple(IsUsableDialogOwner(handle, inspect), asked), std::tuple(owner, handle));
  }
  const WindowFacts any{true, false, false, true, true};
  EXPECT_FALSE(IsUsablePreviewPane(none, [&](std::uint64_t) { return any; }) ||
               IsUsableDialogOwner(none, [&](std::uint64_t) { return any; }));
}

// Views ending before a digit, a point or an exponent show nothing past the end
// is read; the time field rounds half to even and warns above 60.
TEST(FieldChecks, NumbersTimeAndFolder) {
  const std::wstring_view fraction(L"1.52", 3), exponent(L"1e12", 3), whole(L"12.5", 2);
  using T = TimeText;
  // clang-format off
  const std::pair<std::wstring_view, std::optional<double>> numbers[] = {
      {L"19", 19}, {L" \t7 ", 7}, {L"1.5", 1.5}, {L"1e1", 10}, {L"-5", -5}, {L"+3", 3},
      {L"1,000", 1000}, {L"1,5", 15}, {L".5", 0.5}, {L"2.", 2}, {L"2E-1", 0.2}, {L"1e+1", 10},
      {fraction, 1.5}, {exponent, 10}, {L"", none}, {L"  ", none}, {L"abc", none}, {L"1a", none},
      {L"-", none}, {L".", none}, {L"1e", none}, {L"1e+", none}, {L"1 2", none}, {L",5", none},
      {L"1.5.", none}, {L"1e999", none}, {whole, 12}, {std::wstring_view(L"1e5", 1), 1}};
  const std::tuple<const wchar_t*, TimeText, std::optional<std::int16_t>> times[] = {
      {L"", T::Empty, none}, {L"a", T::NotANumber, none}, {L"7a", T::NotANumber, none},
      {L"2.5", T::Fine, 2}, {L"3.5", T::Fine, 4}, {L"-2.5", T::Fine, -2}, {L"60.5", T::Fine, 60},
      {L"60.6", T::OverSixty, 61}, {L"61", T::OverSixty, 61}, {L"32767", T::OverSixty, 32767},
      {L"32767.5", T::OverSixty, none}, {L"-32768.5", T::Fine, -32768}, {L"-32769", T::Fine, none}};
  // clang-format on
  for (const auto& [text, value] : numbers) EXPECT_EQ(ParseNumeric(text, {}), value) << text.size();
  EXPECT_EQ(ParseNumeric(L"1.000,5", {L',', L'.'}), 1000.5);
  for (const auto& [text, check, seconds] : times) {
    EXPECT_EQ(std::tuple(CheckTimeText(text, {}), TimeFieldValue(text, {})),
              std::tuple(check, seconds));
  }
  EXPECT_EQ(FolderLookupName(L"C:\\Pictures\\"), L"C:\\Pictures");
  EXPECT_EQ(FolderLookupName(L"C:\\"), L"C:\\");
  EXPECT_EQ(FolderLookupName(L"ab\\"), L"ab");
}

}  // namespace ruzir::test

#include "settings/settings.h"

#include <gtest/gtest.h>

#include "memory_store.h"
#include "settings/value_codec.h"

namespace ruzir {
namespace {

using test::Bytes;
using test::FixedUniform;
using test::MemoryKeyStore;
using test::StoredValue;

constexpr wchar_t kProgramFolder[] = L"C:\\Program Files\\Ruzir";

std::vector<std::byte> Utf16(std::wstring_view text) { return EncodeRegString(text); }

LoadedSettings Load(MemoryKeyStore& store, FixedUniform& random) {
  LoadedSettings loaded;
  EXPECT_TRUE(LoadSettings(store, kProgramFolder, random, loaded));
  return loaded;
}

TEST(LoadSettings, FirstRunGivesDefaultsAndLeavesOnlyAnEmptyKey) {
  MemoryKeyStore store;
  FixedUniform random({0.5f});
  LoadedSettings loaded;
  ASSERT_TRUE(LoadSettings(store, kProgramFolder, random, loaded));

  const Settings& s = loaded.settings;
  EXPECT_EQ(s.Path, L"C:\\Program Files\\Ruzir\\");
  EXPECT_EQ(s.Interval, 20);
  EXPECT_EQ(s.BackColor, 0x00400040u);  // red 64, green 0, blue 64
  EXPECT_EQ(s.Desktop, 0);
  EXPECT_EQ(s.Gost, 0);
  EXPECT_EQ(s.Break, 4);
  EXPECT_EQ(loaded.CurrentEffect,
            Effect::VerticalSlide);  // floor(0.5 * 3 + 1): drawn, as the pattern is random

  ASSERT_EQ(store.keys.size(), 1u);
  EXPECT_TRUE(store.keys.at(L"Settings").empty());
  EXPECT_TRUE(store.writeLog.empty());
}

TEST(LoadSettings, ProgramFolderAtADriveRootGetsNoSecondBackslash) {
  MemoryKeyStore store;
  FixedUniform random({0.0f});
  LoadedSettings loaded;
  ASSERT_TRUE(LoadSettings(store, L"D:\\", random, loaded));
  EXPECT_EQ(loaded.settings.Path, L"D:\\");
}

TEST(LoadSettings, PathCases) {
  const std::wstring longest(kMaxPathChars, L'a');
  struct Case {
    const char* name;
    std::vector<std::byte> stored;
    std::wstring expected;
  };
  std::vector<std::byte> withNulInside = Utf16(L"C:\\A");
  const auto junk = Utf16(L"junk");
  withNulInside.insert(withNulInside.end(), junk.begin(), junk.end());
  std::vector<std::byte> unterminated = Utf16(L"C:\\B");
  unterminated.resize(unterminated.size() - 2);
  std::vector<std::byte> oddLength = Utf16(L"C:\\C");
  oddLength.pop_back();

  const Case cases[] = {
      {"backslash appended", Utf16(L"C:\\Pictures"), L"C:\\Pictures\\"},
      {"backslash kept", Utf16(L"C:\\Pictures\\"), L"C:\\Pictures\\"},
      {"empty becomes root", Utf16(L""), L"\\"},
      {"zero bytes becomes root", {}, L"\\"},
      {"cut at the first NUL", withNulInside, L"C:\\A\\"},
      {"stored without NUL", unterminated, L"C:\\B\\"},
      {"odd byte count", oddLength, L"C:\\C\\"},
      {"outside the ANSI code page", Utf16(L"C:\\写真\\한국"), L"C:\\写真\\한국\\"},
      {"32,767 characters fit", Utf16(longest), longest + L"\\"},
      {"32,768 characters do not fit", Utf16(longest + L"b"), L"C:\\Program Files\\Ruzir\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryKeyStore store;
    store.Put(L"Settings", L"Path", c.stored, ValueType::String);
    FixedUniform random({0.0f});
    EXPECT_EQ(Load(store, random).settings.Path, c.expected);
  }
}

TEST(LoadSettings, IntegerValuesFillLowOrderBytesOrFallBack) {
  struct Case {
    const wchar_t* value;
    std::vector<std::byte> stored;
    std::int64_t expected;
  };
  const Case cases[] = {
      {L"Interval", Bytes({0x05}), 5},  // one byte fills the low-order byte
      {L"Interval", Bytes({0x2C, 0x01}), 300},
      {L"Interval", Bytes({0xFF, 0xFF}), -1},
      {L"Interval", Bytes({5, 0, 0, 0}), 20},  // too long: default
      {L"Interval", {}, 0},                    // present but empty: nothing read
      {L"BackColor", Bytes({0x11, 0x22, 0x33, 0x44}), 0x44332211},  // taken unchanged
      {L"BackColor", Bytes({0x11, 0x22, 0x33}), 0x00332211},
      {L"BackColor", Bytes({1, 2, 3, 4, 5}), 0x00400040},
      {L"Desktop", Bytes({1, 0}), 1},
      {L"Desktop", Bytes({2, 0}), 2},  // a grey check box: stored, and not 1, so off
      {L"Desktop", Bytes({1, 0, 0}), 0},
      {L"Gost", Bytes({1, 0}), 1},
      {L"Gost", Bytes({1, 0, 0, 0}), 0},
      {L"Break", Bytes({0, 0}), 0},
      {L"Break", Bytes({7, 0}), 7},  // no range test on loading
      {L"Break", Bytes({3, 0, 0}), 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.value)) + " of " +
                 std::to_string(c.stored.size()) + " bytes");
    MemoryKeyStore store;
    store.Put(L"Settings", c.value, c.stored);
    FixedUniform random({0.0f});
    const Settings s = Load(store, random).settings;
    const std::wstring name = c.value;
    const std::int64_t actual = name == L"Interval"    ? s.Interval
                                : name == L"BackColor" ? static_cast<std::int64_t>(s.BackColor)
                                : name == L"Desktop"   ? s.Desktop
                                : name == L"Gost"      ? s.Gost
                                                       : s.Break;
    EXPECT_EQ(actual, c.expected);
  }
}

TEST(LoadSettings, StoredPatternSevenIsNoEffectAndDrawsNothing) {
  MemoryKeyStore store;
  store.Put(L"Settings", L"Break", Bytes({7, 0}));
  FixedUniform random({0.9f});
  const LoadedSettings loaded = Load(store, random);
  EXPECT_EQ(loaded.CurrentEffect, Effect::None);
  EXPECT_EQ(random.draws, 0u);
}

TEST(LoadSettings, OpenFailureChangesNothing) {
  MemoryKeyStore store;
  store.failingKeys = {L"Settings"};
  FixedUniform random({0.0f});
  LoadedSettings loaded;
  loaded.settings.Path = L"untouched";
  loaded.CurrentEffect = Effect::Diffuse;
  EXPECT_FALSE(LoadSettings(store, kProgramFolder, random, loaded));
  EXPECT_EQ(loaded.settings.Path, L"untouched");
  EXPECT_EQ(loaded.CurrentEffect, Effect::Diffuse);
  EXPECT_TRUE(store.keys.empty());
  EXPECT_EQ(kLoadFailedText, L"設定情報の取得に失敗しました。");
}

Settings EditedSettings() {
  Settings s;
  s.Path = L"D:\\写真";  // no trailing backslash: saved as typed
  s.Interval = 75;
  s.BackColor = 0x00102030;
  s.Desktop = 1;
  s.Gost = 0;
  s.Break = 3;
  return s;
}

TEST(SaveSettings, WritesTheSixValuesWithTheirTypesSizesAndOrder) {
  MemoryKeyStore store;
  Settings current;
  ASSERT_TRUE(SaveSettings(store, EditedSettings(), current));

  EXPECT_EQ(current.Path, L"D:\\写真");
  const std::vector<std::wstring> order = {L"Settings\\Path",     L"Settings\\Break",
                                           L"Settings\\Interval", L"Settings\\BackColor",
                                           L"Settings\\Desktop",  L"Settings\\Gost"};
  EXPECT_EQ(store.writeLog, order);

  const auto& key = store.keys.at(L"Settings");
  // Five characters and the terminating NUL, two bytes each.
  EXPECT_EQ(key.at(L"Path"), (StoredValue{ValueType::String, Bytes({'D', 0, ':', 0, '\\', 0, 0x99,
                                                                    0x51, 0x1F, 0x77, 0, 0})}));
  EXPECT_EQ(key.at(L"Break"), (StoredValue{ValueType::Binary, Bytes({3, 0})}));
  EXPECT_EQ(key.at(L"Interval"), (StoredValue{ValueType::Binary, Bytes({75, 0})}));
  EXPECT_EQ(key.at(L"BackColor"), (StoredValue{ValueType::Binary, Bytes({0x30, 0x20, 0x10, 0})}));
  EXPECT_EQ(key.at(L"Desktop"), (StoredValue{ValueType::Binary, Bytes({1, 0})}));
  EXPECT_EQ(key.at(L"Gost"), (StoredValue{ValueType::Binary, Bytes({0, 0})}));
}

TEST(SaveSettings, WhatIsSavedLoadsBack) {
  for (const std::wstring path : {L"C:\\Pictures\\", L"", L"\\\\server\\share\\写真\\"}) {
    SCOPED_TRACE(testing::PrintToString(path));
    MemoryKeyStore store;
    Settings edited = EditedSettings();
    edited.Path = path;
    edited.Interval = -32768;
    edited.BackColor = 0x00FFFFFF;
    Settings current;
    ASSERT_TRUE(SaveSettings(store, edited, current));
    FixedUniform random({0.0f});
    const Settings loaded = Load(store, random).settings;
    EXPECT_EQ(loaded.Path, WithTrailingBackslash(path));
    EXPECT_EQ(loaded.Interval, edited.Interval);
    EXPECT_EQ(loaded.BackColor, edited.BackColor);
    EXPECT_EQ(loaded.Desktop, edited.Desktop);
    EXPECT_EQ(loaded.Gost, edited.Gost);
    EXPECT_EQ(loaded.Break, edited.Break);
  }
}

TEST(SaveSettings, OpenFailureWritesNothingAndKeepsTheRunningSettings) {
  MemoryKeyStore store;
  store.Put(L"Settings", L"Interval", Bytes({9, 0}));
  const auto before = store.keys;
  store.failingKeys = {L"Settings"};
  Settings current;
  current.Interval = 9;
  EXPECT_FALSE(SaveSettings(store, EditedSettings(), current));
  EXPECT_EQ(store.keys, before);
  EXPECT_TRUE(store.writeLog.empty());
  EXPECT_EQ(current.Interval, 9);
  EXPECT_EQ(current.Path, L"");
  EXPECT_EQ(kSaveFailedText, L"設定情報の保存に失敗しました。");
}

TEST(RunFlag, ReadCases) {
  struct Case {
    const char* name;
    std::optional<std::vector<std::byte>> stored;
    bool flagsFail;
    std::optional<std::int16_t> expected;
  };
  const Case cases[] = {
      {"missing counts as 0", std::nullopt, false, 0},
      {"set", Bytes({1, 0}), false, 1},
      {"one byte", Bytes({1}), false, 1},
      {"too long counts as 0", Bytes({1, 0, 0, 0}), false, 0},
      {"key cannot be opened", Bytes({1, 0}), true, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryKeyStore store;
    if (c.stored) store.Put(L"Flags", L"Active", *c.stored);
    if (c.flagsFail) store.failingKeys = {L"Flags"};
    EXPECT_EQ(ReadRunFlag(store), c.expected);
    EXPECT_TRUE(store.writeLog.empty());
  }
}

TEST(RunFlag, SetAndClearWriteTwoBinaryBytes) {
  MemoryKeyStore store;
  ASSERT_TRUE(SetRunFlag(store));
  EXPECT_EQ(store.keys[L"Flags"][L"Active"], (StoredValue{ValueType::Binary, Bytes({1, 0})}));
  ASSERT_TRUE(ClearRunFlag(store));
  EXPECT_EQ(store.keys[L"Flags"][L"Active"], (StoredValue{ValueType::Binary, Bytes({0, 0})}));
  EXPECT_EQ(store.keys.count(L"Settings"), 0u);
}

TEST(RunFlag, ClearFailsWhenFlagsCannotBeOpened) {
  MemoryKeyStore store;
  store.Put(L"Flags", L"Active", Bytes({1, 0}));
  store.failingKeys = {L"Flags"};
  EXPECT_FALSE(ClearRunFlag(store));
  EXPECT_FALSE(SetRunFlag(store));
  EXPECT_EQ(store.keys[L"Flags"][L"Active"].bytes, Bytes({1, 0}));
}

TEST(ChooseEffect, FixedPatternsPassThroughWithoutDrawing) {
  for (const std::int16_t pattern : {0, 1, 2, 3, 5, 7, -1, 32767}) {
    FixedUniform random({0.5f});
    EXPECT_EQ(StoredPattern(ChooseEffect(pattern, random)),
              pattern <= 3 && pattern >= 0 ? pattern : 0);
    EXPECT_EQ(random.draws, 0u);
  }
}

TEST(ChooseEffect, RandomPatternMapsTheUnitIntervalOntoOneToThree) {
  struct Case {
    float r;
    std::int16_t expected;
  };
  const Case cases[] = {
      {0.0f, 1},  {0.33f, 1}, {0.34f, 2},       {0.5f, 2},
      {0.66f, 2}, {0.67f, 3}, {0.99999994f, 3},  // the largest float below 1 must not give 4
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.r);
    FixedUniform random({c.r});
    EXPECT_EQ(StoredPattern(ChooseEffect(4, random)), c.expected);
    EXPECT_EQ(random.draws, 1u);
  }
}

TEST(ChooseEffect, SeededGeneratorReachesOneToThreeAndNothingElse) {
  Random random(12345);
  int seen[4] = {};
  for (int i = 0; i < 3000; ++i) {
    const std::int16_t effect = StoredPattern(ChooseEffect(4, random));
    ASSERT_GE(effect, 1);
    ASSERT_LE(effect, 3);
    ++seen[effect];
  }
  for (int effect = 1; effect <= 3; ++effect) {
    EXPECT_GT(seen[effect], 800) << "effect " << effect;  // about 1000 each
  }
}

TEST(FolderOfModule, Cases) {
  struct Case {
    const wchar_t* modulePath;
    const wchar_t* folder;
  };
  const Case cases[] = {
      {L"C:\\Windows\\System32\\ruzir.scr", L"C:\\Windows\\System32\\"},
      {L"C:\\ruzir.scr", L"C:\\"},
      {L"\\\\server\\share\\ruzir.scr", L"\\\\server\\share\\"},
      {L"ruzir.scr", L"\\"},
  };
  for (const auto& c : cases) EXPECT_EQ(FolderOfModule(c.modulePath), c.folder) << c.folder;
}

}  // namespace
}  // namespace ruzir

#include "settings/settings.h"

#include <array>
#include <cmath>
#include <vector>

#include "settings/value_codec.h"

namespace ruzir {
namespace {

constexpr std::wstring_view kPath = L"Path";
constexpr std::wstring_view kBreak = L"Break";
constexpr std::wstring_view kInterval = L"Interval";
constexpr std::wstring_view kBackColor = L"BackColor";
constexpr std::wstring_view kDesktop = L"Desktop";
constexpr std::wstring_view kGost = L"Gost";
constexpr std::wstring_view kActive = L"Active";

// Reads an integer value the way a fixed-size field receives it: the buffer
// starts zeroed, a shorter value fills its low-order bytes, a longer one does
// not fit and leaves the fallback.
template <typename Int>
Int ReadInt(Key& key, std::wstring_view name, Int fallback) {
  std::array<std::byte, sizeof(Int)> buffer{};
  if (!key.Read(name, buffer)) return fallback;
  return DecodeLittleEndian<Int>(buffer);
}

template <typename Int>
void WriteInt(Key& key, std::wstring_view name, Int value) {
  const auto bytes = EncodeLittleEndian(value);
  key.Write(name, ValueType::Binary, bytes);
}

bool WriteRunFlag(KeyStore& store, std::int16_t value) {
  const auto key = store.Open(kFlagsKey);
  if (!key) return false;
  WriteInt(*key, kActive, value);
  return true;
}

}  // namespace

std::wstring WithTrailingBackslash(std::wstring_view folder) {
  std::wstring text(folder.substr(0, folder.find(L'\0')));
  if (text.empty() || text.back() != L'\\') text.push_back(L'\\');
  return text;
}

std::wstring FolderOfModule(std::wstring_view modulePath) {
  const auto slash = modulePath.find_last_of(L"\\/");
  if (slash == std::wstring_view::npos) return WithTrailingBackslash({});
  return WithTrailingBackslash(modulePath.substr(0, slash));
}

bool LoadSettings(KeyStore& store, std::wstring_view programFolder, UniformSource& random,
                  LoadedSettings& loaded) {
  const auto key = store.Open(kSettingsKey);
  if (!key) return false;

  Settings s;
  // Room for kMaxPathChars characters and the terminating NUL, zero-filled so
  // that a stored value without its NUL still ends inside the buffer.
  std::vector<std::byte> path((kMaxPathChars + 1) * 2);
  s.Path = key->Read(kPath, path) ? WithTrailingBackslash(DecodeRegString(path))
                                  : WithTrailingBackslash(programFolder);
  s.Interval = ReadInt<std::int16_t>(*key, kInterval, 20);
  s.BackColor = ReadInt<std::uint32_t>(*key, kBackColor, Rgb(64, 0, 64));
  s.Desktop = ReadInt<std::int16_t>(*key, kDesktop, 0);
  s.Gost = ReadInt<std::int16_t>(*key, kGost, 0);
  s.Break = ReadInt<std::int16_t>(*key, kBreak, StoredPattern(Effect::Random));

  loaded.settings = std::move(s);
  loaded.CurrentEffect = ChooseEffect(loaded.settings.Break, random);
  return true;
}

bool SaveSettings(KeyStore& store, const Settings& edited, Settings& current) {
  const auto key = store.Open(kSettingsKey);
  if (!key) return false;

  current = edited;
  const auto path = EncodeRegString(current.Path);
  key->Write(kPath, ValueType::String, path);
  WriteInt(*key, kBreak, current.Break);
  WriteInt(*key, kInterval, current.Interval);
  WriteInt(*key, kBackColor, current.BackColor);
  WriteInt(*key, kDesktop, current.Desktop);
  WriteInt(*key, kGost, current.Gost);
  return true;
}

std::optional<std::int16_t> ReadRunFlag(KeyStore& store) {
  const auto key = store.Open(kFlagsKey);
  if (!key) return std::nullopt;
  return ReadInt<std::int16_t>(*key, kActive, 0);
}

bool SetRunFlag(KeyStore& store) { return WriteRunFlag(store, 1); }

bool ClearRunFlag(KeyStore& store) { return WriteRunFlag(store, 0); }

Effect ChooseEffect(std::int16_t pattern, UniformSource& random) {
  const Effect effect = PatternFromStored(pattern).value_or(Effect::None);
  if (effect != Effect::Random) return effect;
  const float r = random.NextUniform();
  return static_cast<Effect>(std::floor(r * 3.0f + 1.0f));
}

}  // namespace ruzir

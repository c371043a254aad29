// The settings store: what the program keeps between runs and how.
//
// Two keys under HKEY_CURRENT_USER\Software\Zedozud Uravovuv\Ruzir\ :
//   "Settings"  Path (REG_SZ), Break, Interval, Desktop, Gost (2-byte REG_BINARY)
//               and BackColor (4-byte REG_BINARY), all little-endian;
//   "Flags"     Active (2-byte REG_BINARY), 1 while a copy of the program runs.
// The stored layout is fixed: older and newer copies of the program read each
// other's values, so sizes, types and byte order never change here.
//
// Values are read into fixed-size fields: a shorter stored value fills the
// low-order bytes (the rest stay 0), a longer one does not fit and gives the
// default. Nothing is written while loading.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/effect.h"
#include "settings/key_store.h"
#include "support/random.h"
#include "support/texts.h"

namespace ruzir {

inline constexpr std::wstring_view kRegistryBase = L"Software\\Zedozud Uravovuv\\Ruzir\\";
inline constexpr std::wstring_view kSettingsKey = L"Settings";
inline constexpr std::wstring_view kFlagsKey = L"Flags";

// The longest folder "Path" holds, in characters, without the terminating NUL:
// the longest path the platform can name (with the "\\?\" prefix).
inline constexpr std::size_t kMaxPathChars = 32767;

// The colour value layout 0x00BBGGRR.
constexpr std::uint32_t Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return r | (static_cast<std::uint32_t>(g) << 8) | (static_cast<std::uint32_t>(b) << 16);
}

struct Settings {
  std::wstring Path;           // picture folder; ends with '\' after loading
  std::int16_t Interval = 20;  // seconds each picture stays
  std::uint32_t BackColor = Rgb(64, 0, 64);
  std::int16_t Desktop = 0;                            // 1: begin the show on a desktop snapshot
  std::int16_t Gost = 0;                               // 1: every picture leaves an after-image
  std::int16_t Break = StoredPattern(Effect::Random);  // kept as stored, any value
};

// The settings record and what derives from it, one instance per process.
struct LoadedSettings {
  Settings settings;
  Effect CurrentEffect = Effect::None;  // effect of the next picture change
};

// Reads the six values into loaded.settings, each falling back to its default,
// then draws CurrentEffect. `programFolder` is the
// folder holding the program, used when no folder is stored. Returns false,
// changing nothing, when "Settings" can be neither opened nor created: the
// caller shows kLoadFailedText and ends the process.
bool LoadSettings(KeyStore& store, std::wstring_view programFolder, UniformSource& random,
                  LoadedSettings& loaded);

// Opens "Settings", takes `edited` into `current` and writes the six values.
// Returns false when the key can be neither opened nor created: nothing is
// written and `current` keeps its values (the caller shows kSaveFailedText).
// The result of each single write is not looked at: the others go on.
bool SaveSettings(KeyStore& store, const Settings& edited, Settings& current);

// The run flag "Active": nullopt when "Flags" cannot be opened; a value that
// is missing or does not fit in 2 bytes counts as 0.
std::optional<std::int16_t> ReadRunFlag(KeyStore& store);
// Write 1 or 0. False only when "Flags" cannot be opened; a failed write is
// ignored, as it must not stop the show.
bool SetRunFlag(KeyStore& store);
bool ClearRunFlag(KeyStore& store);

// The effect of the next picture change for the stored pattern: one of the
// three with pieces, drawn from `random` (only then) for Random; none for a
// number that names no pattern.
Effect ChooseEffect(std::int16_t pattern, UniformSource& random);

// The folder text as the program keeps it: cut at the first NUL and ending
// with '\', appended when missing (an empty text becomes "\").
std::wstring WithTrailingBackslash(std::wstring_view folder);

// The folder of a full module path ("C:\a\b.scr" -> "C:\a\", "C:\b.scr" -> "C:\").
std::wstring FolderOfModule(std::wstring_view modulePath);

}  // namespace ruzir

// The screen-saver command line.
//
// The host starts a saver with "/s" (full-screen show), "/p <HWND>" (preview
// in its pane) or "/c[:<HWND>]" (settings over its own window). Only the
// first two characters of the argument text choose the mode, exactly as
// typed; anything unknown opens the settings, which is what double-clicking
// a .scr does.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ruzir {

enum class RunMode { Settings, FullScreen, Preview };

struct CommandLine {
  RunMode mode = RunMode::Settings;
  // The host's window: the preview's pane after "/p", the window that asks
  // for the settings after "/c". nullopt when the argument text holds no
  // valid unsigned decimal number after the two characters and a separator.
  std::optional<std::uint64_t> window;
};

// What follows the program's own path and the blanks after it in a full
// command line, as Windows passes it (the path may be quoted).
std::wstring_view ArgumentText(std::wstring_view fullCommandLine);

CommandLine ParseCommandLine(std::wstring_view argumentText);

}  // namespace ruzir

// The screen-saver command line.
//
// The host starts a saver with "/s" (full-screen show), "/p <HWND>" (preview
// in its pane) or "/c[:<HWND>]" (settings). Only the first two characters of
// the argument text choose the mode, exactly as typed; anything unknown opens
// the settings, which is what double-clicking a .scr does.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ruzir {

enum class RunMode { Settings, FullScreen, Preview };

struct CommandLine {
  RunMode mode = RunMode::Settings;
  // Preview only: the pane's handle value; nullopt when the argument text
  // holds no valid unsigned decimal number after "/p" and its separator.
  std::optional<std::uint64_t> previewParent;
};

// What follows the program's own path and the blanks after it in a full
// command line, as Windows passes it (the path may be quoted).
std::wstring_view ArgumentText(std::wstring_view fullCommandLine);

CommandLine ParseCommandLine(std::wstring_view argumentText);

}  // namespace ruzir

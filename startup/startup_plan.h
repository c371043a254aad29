// The start-up decisions made before any window exists: the single-copy rule
// with the run flag, then the mode from the command line.
//
// A copy ends silently only when another copy is running *and* the stored
// flag says so: a flag left at 1 by a copy that crashed never blocks a start,
// and a running copy that has already cleared its flag (it is closing) does
// not either.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "settings/key_store.h"
#include "startup/command_line.h"

namespace ruzir {

enum class StartupOutcome {
  Run,                // the flag is now 1; go on in `command.mode`
  EndSilently,        // another copy runs with its flag set
  EndWithLoadFailure  // "Flags" cannot be opened: show kLoadFailedText and end
};

struct StartupPlan {
  StartupOutcome outcome = StartupOutcome::Run;
  CommandLine command;
};

// Reads the old flag, applies the single-copy rule, sets the flag and reads
// the command line, in that order. Nothing is written unless it runs.
StartupPlan PlanStartup(KeyStore& store, bool anotherCopyRunning, std::wstring_view argumentText);

// What the platform tells of a window named on the command line.
struct WindowFacts {
  bool isWindow = false;
  bool isDesktop = false;      // the desktop window itself
  bool ofThisProcess = false;  // one of this program's own windows
  bool isVisible = false;
  bool isTopLevel = false;  // a child of the desktop, not of another window
};
using InspectWindow = std::function<WindowFacts(std::uint64_t)>;

// Whether the preview may become a child of the pane `handle`. A missing or
// zero handle, no window, the desktop (the "preview" would cover the screen
// and, ignoring input, never end) and a window of this very process are
// refused. `inspect` is asked only about a nonzero handle.
bool IsUsablePreviewPane(std::optional<std::uint64_t> handle, const InspectWindow& inspect);

// Whether the settings dialog may be owned by the host's window `handle`,
// which it then disables and stays above while it is open: a visible
// top-level window of another process. Anything else gets a dialog of its
// own, with no owner. `inspect` is asked only about a nonzero handle.
bool IsUsableDialogOwner(std::optional<std::uint64_t> handle, const InspectWindow& inspect);

}  // namespace ruzir

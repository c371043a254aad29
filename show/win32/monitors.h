// What the system says of its monitors and of the cursor on them.
#pragma once

#include <vector>

#include "show/cursor_watch.h"
#include "show/monitor_layout.h"

namespace ruzir::win32 {

// The monitors as the system lists them now.
std::vector<MonitorArea> SystemMonitors();

// Where the cursor is now, and on which monitors.
CursorSight LookAtCursor();

}  // namespace ruzir::win32

// Where the full-screen show's windows go: one per monitor, each over its
// monitor's rectangle and at its monitor's scale, the primary first (it is
// the one that takes the keyboard). When the monitors change, windows whose
// place is still wanted carry on and only the rest are made anew, so a
// monitor coming or going does not restart the others' shows.
#pragma once

#include <vector>

#include "support/surface.h"
#include "support/units.h"

namespace ruzir {

struct MonitorArea {
  PixelRect rect;  // in screen pixels
  TwipsScale scale;
  bool primary = false;
};

// The show's windows for the monitors as the system lists them: the primary
// first, the others in the system's order. A monitor of no area, or one that
// mirrors a rectangle already covered, gets no window of its own.
std::vector<MonitorArea> ShowWindowLayout(const std::vector<MonitorArea>& monitors);

// For each wanted window, the index of the current one that already stands
// at its place and scale, or -1 for a new one. Current windows not named are
// no longer wanted.
std::vector<int> ReusedWindows(const std::vector<MonitorArea>& current,
                               const std::vector<MonitorArea>& wanted);

}  // namespace ruzir

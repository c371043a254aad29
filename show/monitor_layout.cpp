#include "show/monitor_layout.h"

#include <algorithm>

namespace ruzir {
namespace {

bool SamePlace(const MonitorArea& a, const MonitorArea& b) {
  return a.rect == b.rect && a.scale.x == b.scale.x && a.scale.y == b.scale.y;
}

}  // namespace

std::vector<MonitorArea> ShowWindowLayout(const std::vector<MonitorArea>& monitors) {
  std::vector<MonitorArea> windows;
  for (const bool primaryPass : {true, false}) {
    for (const MonitorArea& m : monitors) {
      if (m.primary != primaryPass || m.rect.Empty()) continue;
      const bool covered = std::any_of(windows.begin(), windows.end(),
                                       [&](const MonitorArea& w) { return w.rect == m.rect; });
      if (!covered) windows.push_back(m);
    }
  }
  return windows;
}

std::vector<int> ReusedWindows(const std::vector<MonitorArea>& current,
                               const std::vector<MonitorArea>& wanted) {
  std::vector<int> reused;
  for (const MonitorArea& w : wanted) {
    const auto found = std::find_if(current.begin(), current.end(),
                                    [&](const MonitorArea& c) { return SamePlace(c, w); });
    reused.push_back(found == current.end() ? -1 : static_cast<int>(found - current.begin()));
  }
  return reused;
}

}  // namespace ruzir

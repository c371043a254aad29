#include "show/cursor_watch.h"

#include <algorithm>

namespace ruzir {

bool CursorWatch::Judge(CursorSight now, double time) {
  const ScreenPoint cursor = now.cursor;
  if (RecordIfMonitorsMovedIt(std::move(now), time)) return false;
  if (lone_) {
    if (cursor == lone_->cursor) return false;
    // Moved again a moment later: a hand on the mouse. Within the moment,
    // one push of the system's may be told in steps; a change of monitors
    // may push it again later, and the wait starts anew.
    const bool burst = time - lone_->since < kBurstSeconds;
    if (!burst && time - changedAt_ >= kSettleSeconds) return true;
    lone_->cursor = cursor;
    if (!burst) lone_->since = time;
    return false;
  }
  if (cursor != start_.cursor) lone_ = LoneMove{cursor, time};
  return false;
}

bool CursorWatch::RecordIfMonitorsMovedIt(CursorSight now, double time) {
  const ScreenPoint was = start_.cursor;
  const auto holdsWas = [&](const PixelRect& m) {
    return was.x >= m.left && was.x < m.right && was.y >= m.top && was.y < m.bottom;
  };
  // A system that lists no monitors cannot tell where a cursor may be.
  const bool moved =
      now.monitors != start_.monitors ||
      (!now.monitors.empty() && std::none_of(now.monitors.begin(), now.monitors.end(), holdsWas));
  if (moved) MonitorsChanged(std::move(now), time);
  return moved;
}

}  // namespace ruzir

#include "show/cursor_watch.h"

#include <algorithm>

namespace ruzir {

bool CursorWatch::Judge(CursorSight now, double time) {
  const ScreenPoint cursor = now.cursor;
  if (RecordIfMonitorsMovedIt(std::move(now))) return false;
  if (lone_) {
    if (cursor == lone_->cursor) return false;
    // Moved again a moment later: a hand on the mouse. Within the moment,
    // one push of the system's may be told in steps.
    if (time - lone_->since >= kBurstSeconds) return true;
    lone_->cursor = cursor;
    return false;
  }
  if (cursor != start_.cursor) lone_ = LoneMove{cursor, time};
  return false;
}

bool CursorWatch::RecordIfMonitorsMovedIt(CursorSight now) {
  const ScreenPoint was = start_.cursor;
  const auto holdsWas = [&](const PixelRect& m) {
    return was.x >= m.left && was.x < m.right && was.y >= m.top && was.y < m.bottom;
  };
  // A system that lists no monitors cannot tell where a cursor may be.
  const bool moved =
      now.monitors != start_.monitors ||
      (!now.monitors.empty() && std::none_of(now.monitors.begin(), now.monitors.end(), holdsWas));
  if (moved) Record(std::move(now));
  return moved;
}

}  // namespace ruzir

// Whether the mouse has moved since the show began.
//
// Windows sends a mouse-move message when a window appears under a resting
// cursor, so a message alone proves nothing: the first one records where the
// cursor is, and the show ends once the cursor stands anywhere else, by as
// little as one pixel. An x of 0 doubles as "not recorded yet", so while the
// recorded cursor rests in the leftmost column each message records it anew.
#pragma once

#include <cstdint>

namespace ruzir {

struct ScreenPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

class CursorWatch {
 public:
  // Runs the test for one mouse-move message. `readCursor` returns the
  // cursor's screen position; it is called once or twice. True: end the show.
  template <typename ReadCursor>
  bool HasMoved(ReadCursor&& readCursor) {
    if (start_.x == 0) start_ = readCursor();
    return readCursor() != start_;
  }

 private:
  ScreenPoint start_;
};

}  // namespace ruzir

// Whether the mouse has moved since the show began.
//
// Windows sends a mouse-move message when a window appears under a resting
// cursor, so a message alone proves nothing: the first one records where the
// cursor is, and the show ends once the cursor stands anywhere else, by as
// little as one pixel. An x of 0 doubles as "not recorded yet", so while the
// recorded cursor rests in the leftmost column each message records it anew.
//
// A change of monitors is not input, though it moves the cursor: the desktop's
// origin moves with the primary monitor, and a cursor left on a monitor that
// goes away is pushed onto one that stays. So the watch keeps the monitors
// the cursor was recorded on; a cursor that moved along with them, or whose
// recorded place is on none of them any more, is recorded afresh.
//
// The system may tell of the cursor's push before its list of monitors has
// changed (Wine does, by some tens of milliseconds, and by more than a second
// on a machine busy with other work), may push it twice within a few
// milliseconds, and may go on pushing it for a while after the list changed.
// So a lone move is held for a moment: moves within kBurstSeconds of it are
// held with it, a move after that ends the show at once, as any hand on a
// mouse makes, unless the monitors changed less than kSettleSeconds ago:
// then it is held in its turn. A lone move ends the show once the monitors
// have stayed as they were for kSettleSeconds after it; monitors that change
// meanwhile show it was theirs.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "support/surface.h"

namespace ruzir {

struct ScreenPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// Where the cursor is, and the monitors it may be on, in screen pixels.
struct CursorSight {
  ScreenPoint cursor;
  std::vector<PixelRect> monitors;  // as the system lists them
};

class CursorWatch {
 public:
  static constexpr double kSettleSeconds = 2.0;
  static constexpr double kBurstSeconds = 0.25;

  // Runs the test for one mouse-move message at `now`, in seconds. `look`
  // returns the cursor's sight now; it is called once or twice. True: end
  // the show.
  template <typename Look>
  bool HasMoved(Look&& look, double now) {
    if (start_.cursor.x == 0) Restart(look());
    return Judge(look(), now);
  }

  // A tick of the show's clock at `now`: true once a lone move has stood
  // for kSettleSeconds with the monitors as they were. `look` is called only
  // then.
  template <typename Look>
  bool Settled(Look&& look, double now) {
    if (!lone_ || now - lone_->since < kSettleSeconds) return false;
    return !RecordIfMonitorsMovedIt(look(), now);
  }

  // The monitors changed at `time`: the cursor is recorded afresh where it is.
  void MonitorsChanged(CursorSight now, double time) {
    Restart(std::move(now));
    changedAt_ = time;
  }

 private:
  struct LoneMove {
    ScreenPoint cursor;
    double since = 0;
  };

  void Restart(CursorSight now) {
    start_ = std::move(now);
    lone_.reset();
  }
  bool Judge(CursorSight now, double time);
  // Records `now` when the monitors differ from the recorded ones or the
  // recorded place lies on none of them; says whether it did.
  bool RecordIfMonitorsMovedIt(CursorSight now, double time);

  CursorSight start_;
  std::optional<LoneMove> lone_;
  double changedAt_ = -std::numeric_limits<double>::infinity();  // none yet
};

}  // namespace ruzir
